#include "ReleasePane.h"

#include <QCheckBox>
#include <QGroupBox>

#include "LinkLabel.h"
#include "RichLog.h"

namespace vyx::app {

namespace {

QCheckBox* MakeBox(QWidget* parent, const char* name, const char* caption, QRect place) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(place);
    return box;
}

}  // namespace

ReleasePane::ReleasePane(QWidget* form) {
    Cb_Calvera =
        MakeBox(form, "Cb_Calvera", "Forçar configuração Calvera", QRect(568, 64, 169, 17));
    Cb_COMAutoClose =
        MakeBox(form, "Cb_COMAutoClose", "Fechar após configurar", QRect(568, 82, 145, 17));

    GB_ReleaseMode = new QGroupBox(form);
    GB_ReleaseMode->setObjectName(QStringLiteral("GB_ReleaseMode"));
    GB_ReleaseMode->setGeometry(560, 147, 289, 592);

    LogIdList = new RichLog(GB_ReleaseMode);
    LogIdList->setObjectName(QStringLiteral("LogIdList"));
    LogIdList->setGeometry(5, 10, 278, 555);

    // The count's placeholder is blanked by the ID-list clear at start.
    L_IdList = new LinkLabel(GB_ReleaseMode, "L_IdList", QStringLiteral("L_IdList"), 5, 570);
    L_Clear = new LinkLabel(GB_ReleaseMode, "L_Clear", QStringLiteral("Limpar"), 237, 570);
    L_Clear->resize(39, 13);
    L_Clear->setCursor(Qt::PointingHandCursor);
}

}  // namespace vyx::app
