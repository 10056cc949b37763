// The editor's controls: box coupling, the ready value sets, the spinners and
// the snapshot the configuration logic works on.

#include <QTest>
#include <QToolButton>

#include "EditorPanel.h"
#include "EditorPresets.h"
#include "FormFixture.h"
#include "ReleasePane.h"
#include "UpDown.h"

namespace vyx::app::test {
namespace {

using EditorTest = FormFixture;

struct BuzzerBoxes {
    QCheckBox* In;
    QCheckBox* Out;
    QCheckBox* While;
};

class Coupling : public FormFixture, public ::testing::WithParamInterface<const char*> {
protected:
    BuzzerBoxes Boxes3() {
        const QString code = QString::fromLatin1(GetParam());
        return {BoxNamed("CB_BZ_" + code + "_IN"), BoxNamed("CB_BZ_" + code + "_OUT"),
                BoxNamed("CB_BZ_" + code + "_WH")};
    }
};

TEST_P(Coupling, DuranteNeverStaysCheckedBesideEntradaOrSaida) {
    Create();
    const BuzzerBoxes b = Boxes3();
    b.In->click();
    b.Out->click();
    EXPECT_TRUE(b.In->isChecked() && b.Out->isChecked());
    b.While->click();
    EXPECT_FALSE(b.In->isChecked());
    EXPECT_FALSE(b.Out->isChecked());
    EXPECT_TRUE(b.While->isChecked());
    b.Out->click();
    EXPECT_FALSE(b.While->isChecked());
    EXPECT_TRUE(b.Out->isChecked());
    EXPECT_FALSE(b.In->isChecked());
    // Unchecking changes nothing else.
    b.Out->click();
    EXPECT_FALSE(b.Out->isChecked() || b.In->isChecked() || b.While->isChecked());
}

TEST_P(Coupling, HoldsWhenTheProgramSetsABox) {
    Create();
    const BuzzerBoxes b = Boxes3();
    b.While->setChecked(true);
    b.In->setChecked(true);
    EXPECT_FALSE(b.While->isChecked());
    b.While->setChecked(true);
    EXPECT_FALSE(b.In->isChecked());
}

INSTANTIATE_TEST_SUITE_P(Conditions, Coupling,
                         ::testing::Values("VMX", "VCH", "RPX", "OSC", "BGL"));

TEST_F(EditorTest, EventAndSingleBoxesAreNotCoupled) {
    Create();
    BoxNamed("CB_EV_VMX_IN")->click();
    BoxNamed("CB_EV_VMX_OUT")->click();
    BoxNamed("CB_BZ_ACP")->click();
    BoxNamed("CB_EV_ACP")->click();
    for (const char* name : {"CB_EV_VMX_IN", "CB_EV_VMX_OUT", "CB_BZ_ACP", "CB_EV_ACP"}) {
        EXPECT_TRUE(BoxNamed(name)->isChecked()) << name;
    }
}

TEST_F(EditorTest, DefaultsFillTheEditorAndClearEveryDurante) {
    TForm1& form = Create();
    for (const char* code : {"VMX", "VCH", "RPX", "OSC", "BGL"}) {
        BoxNamed(QStringLiteral("CB_BZ_%1_WH").arg(code))->setChecked(true);
    }
    EditNamed("ED_VEBK")->setText("77");
    form.Release().Cb_Calvera->setChecked(true);

    form.Editor().B_SetDefaults->click();
    EXPECT_EQ(form.ReadEditor(), DefaultsSnapshot());
    EXPECT_EQ(form.Editor().CB_PING->currentText(), "180");
    EXPECT_EQ(form.Editor().CB_A232->currentText(), "115200");
    EXPECT_EQ(form.Editor().CB_B232->currentText(), "19200");
    EXPECT_EQ(EditNamed("ED_RBGL")->text(), "900");
    for (const char* code : {"VMX", "VCH", "RPX", "OSC", "BGL"}) {
        EXPECT_FALSE(BoxNamed(QStringLiteral("CB_BZ_%1_WH").arg(code))->isChecked()) << code;
        EXPECT_TRUE(BoxNamed(QStringLiteral("CB_BZ_%1_IN").arg(code))->isChecked()) << code;
    }
    // Nothing outside the configuration group changes.
    EXPECT_EQ(EditNamed("ED_VEBK")->text(), "77");
    EXPECT_TRUE(form.Release().Cb_Calvera->isChecked());
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(EditorTest, CalveraPresetFillsTheEditor) {
    TForm1& form = Create();
    BoxNamed("CB_BZ_ACP")->setChecked(true);
    form.Editor().B_SetCalvera->click();
    EXPECT_EQ(form.ReadEditor(), CalveraSnapshot());
    EXPECT_EQ(form.Editor().CB_PING->currentText(), "60");
    EXPECT_EQ(EditNamed("ED_VMX")->text(), "100");
    EXPECT_FALSE(BoxNamed("CB_BZ_ACP")->isChecked());
    EXPECT_TRUE(BoxNamed("CB_EV_OSC_OUT")->isChecked());
}

TEST_F(EditorTest, SnapshotRoundTripsThroughTheControls) {
    TForm1& form = Create();
    EditorSnapshot snapshot;
    snapshot.List(EditorField::Ping) = 2;
    snapshot.List(EditorField::A232) = 0;
    snapshot.List(EditorField::B232) = 3;
    for (std::size_t i = 0; i < EditorTextCount; ++i) {
        snapshot.Texts[i] = std::to_string(i + 1);
    }
    snapshot.Text(EditorField::Vmx) = " 12";  // free text is kept as typed
    snapshot.Acn = {true, false};
    snapshot.Triple(TripleCondition::Osc) = {false, true, false, true, true};
    snapshot.Triple(TripleCondition::Bgl) = {false, false, true, false, true};
    form.ApplyEditor(snapshot);
    EXPECT_EQ(form.ReadEditor(), snapshot);
    EXPECT_EQ(EditNamed("ED_TBGL")->text(), "13");

    form.EmptyField(EditorField::Rpx);
    EXPECT_TRUE(EditNamed("ED_RPX")->text().isEmpty());
    form.ClearListSelections();
    EXPECT_EQ(form.ReadEditor().List(EditorField::B232), NoSelection);
}

TEST_F(EditorTest, ListPositionOutsideTheListLeavesNoSelection) {
    TForm1& form = Create();
    EditorSnapshot snapshot = DefaultsSnapshot();
    snapshot.List(EditorField::Ping) = 10;
    form.ApplyEditor(snapshot);
    EXPECT_EQ(form.Editor().CB_PING->currentIndex(), -1);
}

TEST_F(EditorTest, SpinnerStepsFromTheTypedNumberWithinItsOwnRange) {
    Create();
    auto* spinner = Find<UpDown>("UD_TVMX");
    QLineEdit* edit = EditNamed("ED_TVMX");
    EXPECT_EQ(spinner->Minimum(), 0);
    EXPECT_EQ(spinner->Maximum(), 20);
    EXPECT_TRUE(spinner->ArrowKeys());

    spinner->Step(1);  // empty edit: from the spinner's own position
    EXPECT_EQ(edit->text(), "6");
    edit->setText("19");
    spinner->Step(1);
    spinner->Step(1);  // no wrap-around
    EXPECT_EQ(edit->text(), "20");
    edit->setText("60");  // a value the spinner cannot hold is not taken up
    spinner->Step(-1);
    EXPECT_EQ(edit->text(), "19");
    edit->setText("abc");
    spinner->Step(-1);
    EXPECT_EQ(edit->text(), "18");
}

TEST_F(EditorTest, ArrowKeysStepOnlyTheEditsThatAskForIt) {
    Create();
    QLineEdit* time = EditNamed("ED_TVMX");
    time->setText("5");
    QTest::keyClick(time, Qt::Key_Up);
    EXPECT_EQ(time->text(), "6");
    QTest::keyClick(time, Qt::Key_Down);
    QTest::keyClick(time, Qt::Key_Down);
    EXPECT_EQ(time->text(), "4");

    QLineEdit* speed = EditNamed("ED_VMX");
    speed->setText("120");
    QTest::keyClick(speed, Qt::Key_Up);
    EXPECT_EQ(speed->text(), "120");
}

TEST_F(EditorTest, ClickOnTheUpperHalfStepsUp) {
    Create();
    auto* spinner = Find<UpDown>("UD_RPX");
    QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(8, 4));
    EXPECT_EQ(EditNamed("ED_RPX")->text(), "4501");
    QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(8, 20));
    EXPECT_EQ(EditNamed("ED_RPX")->text(), "4500");
}

TEST_F(EditorTest, EditsTakeFreeTextUpToTheirLength) {
    Create();
    QLineEdit* rpx = EditNamed("ED_RPX");
    QTest::keyClicks(rpx, "+1a23");
    EXPECT_EQ(rpx->text(), "+1a2");
}

}  // namespace
}  // namespace vyx::app::test
