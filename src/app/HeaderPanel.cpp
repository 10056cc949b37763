#include "HeaderPanel.h"

#include <QGroupBox>
#include <QProgressBar>

#include "DropDownList.h"
#include "GlyphList.h"
#include "LatchButton.h"
#include "LinkLabel.h"
#include "Look.h"
#include "RichLog.h"

namespace vyx::app {

HeaderPanel::HeaderPanel(QWidget* form) {
    // Placed above and left of the client area so that only its lower frame shows.
    GB_Header = new QGroupBox(form);
    GB_Header->setObjectName(QStringLiteral("GB_Header"));
    GB_Header->setGeometry(-1, -6, 560, 152);

    // L_Msg's placeholder is emptied at start; L_Site shows the maker's address.
    L_Msg = new LinkLabel(GB_Header, "L_Msg", QStringLiteral("L_Msg"), 5, 10);
    L_Site = new LinkLabel(GB_Header, "L_Site", QString(), 282, 10);

    Log = new RichLog(GB_Header);
    Log->setObjectName(QStringLiteral("Log"));
    Log->setGeometry(5, 27, 460, 106);

    ComboBox1 = new DropDownList(GB_Header);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setFont(Look::SansSerif8());
    ComboBox1->setGeometry(472, 27, 80, 19);

    ButtonVCP = new LatchButton(GB_Header);
    ButtonVCP->setObjectName(QStringLiteral("ButtonVCP"));
    ButtonVCP->setGeometry(472, 52, 80, 80);
    ButtonVCP->setIconSize(QSize(GlyphList::GlyphSize, GlyphList::GlyphSize));

    ProgressBar1 = new QProgressBar(GB_Header);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(5, 140, 548, 7);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
}

}  // namespace vyx::app
