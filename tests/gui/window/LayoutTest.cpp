// Every named control at its place, relative to the control that holds it.

#include <QGroupBox>

#include "FormFixture.h"

namespace vyx::app::test {
namespace {

struct Place {
    const char* Name;
    const char* Parent;
    int X, Y, W, H;  // W and H of 0: the control sizes itself to its text
};

constexpr Place Places[] = {
    {"GB_Header", "Form1", -1, -6, 560, 152},
    {"L_Msg", "GB_Header", 5, 10, 0, 0},
    {"L_Site", "GB_Header", 282, 10, 0, 0},
    {"Log", "GB_Header", 5, 27, 460, 106},
    {"ComboBox1", "GB_Header", 472, 27, 80, 19},
    {"ButtonVCP", "GB_Header", 472, 52, 80, 80},
    {"ProgressBar1", "GB_Header", 5, 140, 548, 7},
    {"GB_Config", "Form1", 5, 147, 548, 592},
    {"CB_PING", "GB_Config", 64, 25, 65, 19},
    {"CB_A232", "GB_Config", 195, 25, 65, 19},
    {"CB_B232", "GB_Config", 325, 25, 65, 19},
    {"B_SetConfig", "GB_Config", 400, 12, 140, 48},
    {"B_SetCalvera", "GB_Config", 5, 55, 50, 15},
    {"B_SetDefaults", "GB_Config", 64, 55, 110, 15},
    {"B_RemConfig", "GB_Config", 195, 55, 170, 15},
    {"GB_VMX", "GB_Config", 10, 78, 249, 150},
    {"GB_ACP", "GB_Config", 268, 78, 270, 73},
    {"GB_ACN", "GB_Config", 268, 155, 270, 73},
    {"GB_VCH", "GB_Config", 10, 238, 249, 150},
    {"GB_RPX", "GB_Config", 268, 238, 270, 150},
    {"GB_BGL", "GB_Config", 10, 398, 249, 183},
    {"GB_OSC", "GB_Config", 268, 398, 270, 183},
    {"ED_VMX", "GB_VMX", 190, 15, 32, 20},
    {"ED_TVMX", "GB_VMX", 190, 47, 32, 21},
    {"ED_VCH", "GB_VCH", 190, 15, 32, 20},
    {"ED_TVCH", "GB_VCH", 190, 47, 32, 21},
    {"ED_RPX", "GB_RPX", 210, 15, 32, 20},
    {"ED_TRPX", "GB_RPX", 210, 47, 32, 21},
    {"ED_VBGL", "GB_BGL", 190, 18, 32, 21},
    {"ED_RBGL", "GB_BGL", 190, 48, 32, 21},
    {"ED_TBGL", "GB_BGL", 190, 78, 32, 21},
    {"ED_TOSC", "GB_OSC", 210, 28, 32, 21},
    {"ED_XOSC", "GB_OSC", 210, 68, 32, 21},
    {"ED_ACP", "GB_ACP", 210, 20, 32, 21},
    {"ED_ACN", "GB_ACN", 210, 20, 32, 21},
    {"CB_BZ_ACP", "GB_ACP", 8, 47, 110, 17},
    {"CB_EV_ACP", "GB_ACP", 125, 47, 130, 17},
    {"CB_BZ_ACN", "GB_ACN", 8, 47, 110, 17},
    {"CB_EV_ACN", "GB_ACN", 125, 47, 130, 17},
    {"GB_BZ_VMX", "GB_VMX", 8, 75, 105, 66},
    {"GB_EV_VMX", "GB_VMX", 118, 75, 123, 66},
    {"GB_BZ_RPX", "GB_RPX", 8, 75, 105, 66},
    {"GB_EV_RPX", "GB_RPX", 139, 75, 123, 66},
    {"GB_BZ_BGL", "GB_BGL", 8, 107, 105, 66},
    {"GB_EV_BGL", "GB_BGL", 118, 107, 123, 66},
    {"GB_BZ_OSC", "GB_OSC", 8, 107, 113, 66},
    {"GB_EV_OSC", "GB_OSC", 139, 107, 123, 66},
    {"CB_BZ_VMX_IN", "GB_BZ_VMX", 10, 15, 0, 0},
    {"CB_BZ_VMX_OUT", "GB_BZ_VMX", 10, 30, 0, 0},
    {"CB_BZ_VMX_WH", "GB_BZ_VMX", 10, 45, 0, 0},
    {"CB_EV_OSC_OUT", "GB_EV_OSC", 10, 30, 0, 0},
    {"Cb_Calvera", "Form1", 568, 64, 169, 17},
    {"Cb_COMAutoClose", "Form1", 568, 82, 145, 17},
    {"GB_ReleaseMode", "Form1", 560, 147, 289, 592},
    {"LogIdList", "GB_ReleaseMode", 5, 10, 278, 555},
    {"L_IdList", "GB_ReleaseMode", 5, 570, 0, 0},
    {"L_Clear", "GB_ReleaseMode", 237, 570, 39, 13},
    {"B_FwJump", "Form1", 872, 136, 60, 25},
    {"B_FwTx", "Form1", 872, 168, 60, 25},
    {"B_GetConfig", "Form1", 872, 200, 60, 25},
    {"CppWebBrowser1", "Form1", 872, 16, 209, 113},
    {"GB_EBK", "Form1", 870, 262, 249, 183},
    {"ED_VEBK", "GB_EBK", 190, 18, 32, 21},
};

class ControlPlace : public FormFixture, public ::testing::WithParamInterface<Place> {};

TEST_P(ControlPlace, SitsAtItsLayoutPosition) {
    Create();
    const Place& place = GetParam();
    QWidget* control = Form->findChild<QWidget*>(QString::fromLatin1(place.Name));
    ASSERT_NE(control, nullptr);
    ASSERT_NE(control->parentWidget(), nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(place.Parent));
    EXPECT_EQ(control->pos(), QPoint(place.X, place.Y));
    if (place.W > 0) {
        EXPECT_EQ(control->size(), QSize(place.W, place.H));
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, ControlPlace, ::testing::ValuesIn(Places),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FormFixture, EverySpinnerSitsAgainstItsEditAfterTheLayoutFix) {
    Create();
    for (const char* name : {"VMX", "TVMX", "VCH", "TVCH", "RPX", "TRPX", "ACP", "ACN", "VBGL",
                             "TBGL", "RBGL", "TOSC", "XOSC", "VEBK", "REBK", "TEBK"}) {
        QWidget* edit = Find<QWidget>(QStringLiteral("ED_%1").arg(name));
        QWidget* spinner = Find<QWidget>(QStringLiteral("UD_%1").arg(name));
        ASSERT_TRUE(edit && spinner);
        EXPECT_EQ(spinner->parentWidget(), edit->parentWidget()) << name;
        EXPECT_EQ(spinner->geometry(), QRect(edit->x() + edit->width(), edit->y() - 3, 16, 24))
            << name;
    }
}

}  // namespace
}  // namespace vyx::app::test
