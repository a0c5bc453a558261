// The "Thresholding" dialog: built from the method rows, its spin fields' limits, the
// operator's presses and changes, and in the main window Cancel changing nothing, OK
// writing the method, recaptioning the sliders and processing the zone again.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

#include "app/widgets/settings_dialog.h"
#include "app/widgets/spin_edit.h"
#include "binarize/method_catalog.h"
#include "modal_script.h"
#include "window_fixture.h"

namespace {

TSpinEdit* Spin(TDialogoThreshold& dialog, TField field) {
  return qobject_cast<TSpinEdit*>(dialog.Field(field));
}

}  // namespace

// Every row and field of the description is in the dialog, at its initial value, and a spin
// field clamps to its own limits (none for the area).
TEST(SettingsDialog, BuiltFromTheMethodRows) {
  TDialogoThreshold dialog(nullptr);
  for (const TMethodRow& row : MethodRows()) {
    ASSERT_EQ(dialog.Radio(row.Algo)->objectName().toStdString(), row.RadioName);
    EXPECT_EQ(dialog.Radio(row.Algo)->text().toStdString(), row.Caption);
  }
  EXPECT_TRUE(dialog.Radio(taStandard)->isChecked());
  EXPECT_EQ(dialog.Values(), InitialFieldValues());
  for (std::int32_t f = 0; f < fdFieldCount; ++f) {
    const TFieldSpec& description = FieldSpecOf(static_cast<TField>(f));
    TSpinEdit* spin = Spin(dialog, description.Id);
    if (spin == nullptr) continue;
    spin->SetValue(INT32_MAX);
    EXPECT_EQ(spin->Value(), description.Limits.Limited() ? description.Limits.Max : INT32_MAX)
        << description.Name;
    spin->SetValue(INT32_MIN);
    EXPECT_EQ(spin->Value(), description.Limits.Limited() ? description.Limits.Min : INT32_MIN)
        << description.Name;
  }
}

TEST(SettingsDialog, TextThatIsNoIntegerReadsAsTheLowerLimit) {
  TDialogoThreshold dialog(nullptr);
  Spin(dialog, fdAreaW)->Edit()->setText("");
  Spin(dialog, fdContrast)->Edit()->setText("-");
  EXPECT_EQ(dialog.Values()[fdAreaW], 0);
  EXPECT_EQ(dialog.Values()[fdContrast], -1);
  TThresholdSettings s;
  s.Algo = taDynamic;
  dialog.Radio(taDynamic)->click();
  dialog.WriteBack(s);
  EXPECT_EQ(s.AreaWidth, 0);
  EXPECT_EQ(s.Contrast, -1);
}

// A spin field at its lower limit (the automatic Brightness) still shows and writes that
// value once the dialog is on screen: the box must not fall back to a number of its own.
TEST(SettingsDialog, AnAutomaticLevelSurvivesShowing) {
  TDialogoThreshold dialog(nullptr);
  dialog.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(Spin(dialog, fdBrightness)->Edit()->text().toStdString(), "-1")
      << "the initial automatic level";
  dialog.Radio(taDynamic)->click();
  TThresholdSettings s;
  dialog.WriteBack(s);
  EXPECT_EQ(s.Brightness, -1);
  s.Algo = taSauvola;
  s.Brightness = 7;
  dialog.Fill(s);
  s.Brightness = -1;
  dialog.Fill(s);
  EXPECT_EQ(Spin(dialog, fdBrightness)->Edit()->text().toStdString(), "-1")
      << "filled back to automatic";
}

// A further method's row: its button checks it, its note says what the common fields carry
// for it, and what it reads goes to the record and comes back.
TEST(SettingsDialog, AFurtherMethodsRowRoundTrip) {
  TDialogoThreshold dialog(nullptr);
  dialog.show();
  QStringList notes;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) notes << label->text();
  EXPECT_TRUE(notes.contains("Contrast: k x 100, Brightness: Dynamic range")) << "Sauvola";
  EXPECT_TRUE(notes.contains("Contrast: -k x 100")) << "NICK";

  dialog.Radio(taSauvola)->click();
  Spin(dialog, fdContrast)->SetValue(45);
  Spin(dialog, fdAreaW)->SetValue(21);
  TThresholdSettings s;
  dialog.WriteBack(s);
  const std::int32_t window = FindFieldUse(*FindMethod(taSauvola), TRecordField::rfArea)->Default;
  EXPECT_EQ(s, (TThresholdSettings{taSauvola, 0, 45, -1, 21, window, 80, 128, 200}))
      << "the button's defaults, then the operator's k and width";

  const TThresholdSettings stored{taNick, 2, 15, 200, 19, 23, 80, 128, 200};
  dialog.Fill(stored);
  EXPECT_TRUE(dialog.Radio(taNick)->isChecked());
  EXPECT_EQ(Spin(dialog, fdContrast)->Value(), 15);
  TThresholdSettings back = stored;
  dialog.WriteBack(back);
  EXPECT_EQ(back, stored) << "OK without changes keeps the record";
}

// Presses and changes by the operator go through the rules; focus and filling do not.
TEST(SettingsDialog, TheOperatorsPressesAndChanges) {
  TDialogoThreshold dialog(nullptr);
  dialog.show();
  Spin(dialog, fdBackTrackMin)->setFocus();
  EXPECT_TRUE(dialog.Radio(taStandard)->isChecked()) << "keyboard focus checks nothing";
  PressInto(Spin(dialog, fdBackTrackMin)->Edit());
  EXPECT_TRUE(dialog.Radio(taBackgroundTracking)->isChecked()) << "a press into its text";
  EXPECT_EQ(dialog.Values()[fdAreaW], 5) << "checked as by a click: 5 x 5";
  PressInto(Spin(dialog, fdAreaW));
  EXPECT_TRUE(dialog.Radio(taBackgroundTracking)->isChecked()) << "the method reads the area";
  PressInto(Spin(dialog, fdContrast));
  EXPECT_TRUE(dialog.Radio(taDynamic)->isChecked()) << "it reads no Contrast";

  qobject_cast<QComboBox*>(dialog.Field(fdMode))->setCurrentIndex(1);
  EXPECT_EQ(dialog.Values()[fdContrast], 8) << "choosing Average";
  EXPECT_EQ(dialog.Values()[fdAreaH], 10);
  Spin(dialog, fdStandard)->setValue(100);
  EXPECT_TRUE(dialog.Radio(taStandard)->isChecked()) << "a new fixed level checks Standard";

  dialog.Radio(taAdaptive)->click();
  EXPECT_EQ(dialog.Values()[fdAreaW], 7) << "the Adaptive button presets 7 x 7";
  Spin(dialog, fdAreaW)->SetValue(21);
  dialog.Radio(taAdaptive)->click();
  EXPECT_EQ(dialog.Values()[fdAreaW], 21) << "clicking the checked button presets nothing";

  TThresholdSettings s;
  s.Algo = taDynamic;
  s.Method = 1;
  s.Contrast = 30;
  dialog.Fill(s);
  EXPECT_EQ(dialog.Values()[fdContrast], 30) << "filling the mode runs no preset";
}

class TSettingsWindowTest : public TWindowTest {
 protected:
  // Opens the dialog through its action; script plays the operator and closes it.
  void Settings(std::function<void(TDialogoThreshold&)> script) {
    WhenModal<TDialogoThreshold>(std::move(script));
    window->ActionSettings->trigger();
    Settle();
  }
};

TEST_F(TSettingsWindowTest, CancelChangesNothing) {
  Start({WritePage("page.tif")});
  const TThresholdSettings before = window->Settings;
  const std::vector<TColorValue> processed = ProcessedColours();
  Settings([](TDialogoThreshold& d) {
    d.Radio(taEdge)->click();
    d.Button2->click();
  });
  EXPECT_EQ(window->Settings, before);
  EXPECT_EQ(window->DialogoThresholdingInterattivo->Label1->text(), "unused");
  EXPECT_EQ(ProcessedColours(), processed);
}

// OK processes the zone again with the settings, even unchanged, and puts the sliders back.
TEST_F(TSettingsWindowTest, OkWritesRecaptionsAndProcessesAgain) {
  Start({WritePage("page.tif")});
  const std::vector<TColorValue> atSettings = ProcessedColours();
  ASSERT_TRUE(MoveRightSliderAndRest(40));
  ASSERT_NE(ProcessedColours(), atSettings) << "the slider's level shows";
  Settings([](TDialogoThreshold& d) { d.Button1->click(); });
  EXPECT_EQ(window->DialogoThresholdingInterattivo->Brightness(), window->Settings.Brightness);
  EXPECT_EQ(ProcessedColours(), atSettings) << "processed again with the same values";

  Settings([](TDialogoThreshold& d) {
    d.Radio(taEdge)->click();
    Spin(d, fdContrast)->SetValue(30);
    Spin(d, fdBrightness)->SetValue(4);
    d.Button1->click();
  });
  EXPECT_EQ(window->Settings.Algo, taEdge);
  EXPECT_EQ(window->Settings.Contrast, 30);
  EXPECT_EQ(window->Settings.Brightness, 4);
  EXPECT_EQ(window->DialogoThresholdingInterattivo->Label1->text(), "Sensitiv.");
  EXPECT_EQ(window->DialogoThresholdingInterattivo->Contrast(), 30);
  EXPECT_TRUE(window->Modified);
}

// A stored further method starts the window with its slider captions and shows checked in
// the dialog; choosing another one with OK stores it and recaptions the sliders.
TEST_F(TSettingsWindowTest, AFurtherMethodIsStoredAndChosen) {
  folder.Write("settings.reg",
               "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vardemont Technologies\\Zonewright\\"
               "Thresholding]\n\"Algo\"=dword:0000000a\n\"Contrast\"=dword:0000000f\n");
  Start();
  const auto* sliders = window->DialogoThresholdingInterattivo;
  EXPECT_EQ(window->Settings.Algo, taNick);
  EXPECT_EQ(sliders->Label1->text(), "-k x 100");
  EXPECT_FALSE(sliders->TrackBarBrightness->isEnabled());
  Settings([](TDialogoThreshold& d) {
    EXPECT_TRUE(d.Radio(taNick)->isChecked());
    EXPECT_EQ(Spin(d, fdContrast)->Value(), 15);
    d.Radio(taSauvola)->click();
    Spin(d, fdContrast)->SetValue(40);
    d.Button1->click();
  });
  EXPECT_EQ(window->Settings.Algo, taSauvola);
  EXPECT_EQ(window->Settings.Contrast, 40);
  EXPECT_EQ(sliders->Label1->text(), "k x 100");
  EXPECT_EQ(sliders->Label2->text(), "Dynamic range");
  EXPECT_TRUE(sliders->TrackBarBrightness->isEnabled());
  EXPECT_EQ(sliders->Contrast(), 40);
}

// The external engine's row can never be chosen; a stored PEI shows checked and stays.
TEST_F(TSettingsWindowTest, ThePEIRowIsAlwaysDisabled) {
  Start();
  window->Settings.Algo = taPEI;
  for (int opening = 0; opening < 2; ++opening) {
    Settings([](TDialogoThreshold& d) {
      EXPECT_FALSE(d.Radio(taPEI)->isEnabled());
      EXPECT_FALSE(d.Field(fdPeiParameters)->isEnabled());
      EXPECT_FALSE(d.ButtonPeiDialog->isEnabled());
      EXPECT_TRUE(d.Radio(taPEI)->isChecked());
      d.Button1->click();
    });
    EXPECT_EQ(window->Settings.Algo, taPEI);
  }
}
