// The preferences dialog: reload on show, "Zastosuj", the number check of
// the geology edits, colour panels, directory choice and help by page.
#include "app/settings/colourpanel.h"
#include "app/settings/modalformpreferences.h"
#include "app/widgets/helpsystem.h"
#include "support/guiapp.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QLabel>
#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

using namespace dyma;
using namespace dyma::gui;

namespace {

class PreferencesTest : public test::GuiTest {
protected:
    void SetUp() override {
        fm = std::make_unique<TfmPreferences>(work.Path().string());
        fm->show();
        QApplication::setActiveWindow(fm.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(fm.get()));
    }
    template <class T>
    T* Control(const char* name) const {
        T* c = fm->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void Reshow() {
        fm->hide();
        fm->show();
    }
    std::unique_ptr<TfmPreferences> fm;
};

TEST_F(PreferencesTest, PagesCaptionAndControls) {
    EXPECT_EQ(fm->windowTitle(), "Własności programu WinDYMA 1.5.0");
    ASSERT_EQ(fm->Pages()->count(), 5);
    EXPECT_EQ(fm->Pages()->tabText(0), "Własności podstawowe");
    EXPECT_EQ(fm->Pages()->tabText(3), "Dodatkowe własności");
    EXPECT_EQ(fm->Pages()->tabText(4), "Odczyt");
    EXPECT_EQ(fm->Pages()->currentIndex(), 0);
    EXPECT_FALSE(fm->ApplyButton()->isEnabled()) << "nothing to apply after the show";
    auto* width = Control<QSpinBox>("WindowWidth");
    EXPECT_EQ(width->minimum(), 500);
    EXPECT_EQ(width->maximum(), 30000);
    EXPECT_EQ(width->singleStep(), 500);
    EXPECT_EQ(Control<QSpinBox>("defaultWageB")->value(), 70);
    EXPECT_FALSE(Control<QCheckBox>("ShowSplashScreen")->isVisibleTo(fm.get()));
    EXPECT_EQ(Control<TColourPanel>("PlusColor")->Caption(), "Kolor stacji \"dodatniej\"");
    EXPECT_EQ(Control<TColourPanel>("PlusColor")->Value(), 0x0000FFu);
}

TEST_F(PreferencesTest, ShowingAgainDiscardsWhatWasNotApplied) {
    auto* op = Control<QLineEdit>("DefaultOperator");
    auto* step = Control<QSpinBox>("WindowStep");
    QTest::keyClicks(op, "Kowalski");
    step->setValue(1000);
    EXPECT_TRUE(fm->ApplyButton()->isEnabled());
    // In effect at once, for every window that reads the settings ...
    EXPECT_EQ(fm->Values().DefaultOperator, "Kowalski");
    EXPECT_EQ(fm->Values().WindowStep, 1000);
    // ... until the next show reloads them from the store.
    Reshow();
    EXPECT_EQ(op->text(), "");
    EXPECT_EQ(step->value(), 500);
    EXPECT_EQ(fm->Values().WindowStep, 500);
    EXPECT_FALSE(fm->ApplyButton()->isEnabled());
}

TEST_F(PreferencesTest, ApplySavesAndDisablesItself) {
    Control<QSpinBox>("defaultWageB")->setValue(50);
    Control<QCheckBox>("VerticalGrid")->setChecked(true);
    QTest::mouseClick(fm->ApplyButton(), Qt::LeftButton);
    EXPECT_FALSE(fm->ApplyButton()->isEnabled());
    EXPECT_EQ(Key().value("Seismograms/WageB").toInt(), 50);
    EXPECT_EQ(Key().value("Seismograms/VerticalGrid").toInt(), 1);
    Reshow();
    EXPECT_EQ(Control<QSpinBox>("defaultWageB")->value(), 50);
}

TEST_F(PreferencesTest, AValueThatDoesNotConvertStopsTheApplyWithNothingWritten) {
    // Before and after the other geology values on their page.
    for (const char* name : {"defaultV", "defaultUpad", "defaultBAngle"}) {
        SCOPED_TRACE(name);
        Reshow();
        QApplication::setActiveWindow(fm.get());
        recorded.warnings.clear();
        fm->Pages()->setCurrentIndex(0);
        auto* edit = Control<QLineEdit>(name);
        const QString before = edit->text();
        edit->setText("5000.5");
        Control<QLineEdit>("DefaultOperator")->setText("Nowak");
        Control<QSpinBox>("defaultWageB")->setValue(40);
        QTest::mouseClick(fm->ApplyButton(), Qt::LeftButton);
        ASSERT_EQ(recorded.warnings.size(), 1u);
        EXPECT_EQ(recorded.warnings[0], "'5000.5' nie jest prawidłową wartością liczbową");
        EXPECT_TRUE(fm->ApplyButton()->isEnabled()) << "the apply did not happen";
        // Nothing half written: neither the value before it nor after it.
        EXPECT_NE(Key().value("Dirs/DefaultOperator").toString(), "Nowak");
        EXPECT_NE(Key().value("Seismograms/WageB").toInt(), 40);
        EXPECT_EQ(Key().value(QStringLiteral("Geology/") + name).toString(), before);
        // The operator is shown the value that stopped it.
        EXPECT_EQ(fm->Pages()->currentIndex(), 1);
        EXPECT_TRUE(edit->hasFocus());
        EXPECT_EQ(edit->selectedText(), "5000.5");
        // Mended, it applies.
        edit->setText(before);
        QTest::mouseClick(fm->ApplyButton(), Qt::LeftButton);
        EXPECT_FALSE(fm->ApplyButton()->isEnabled());
        EXPECT_EQ(Key().value("Dirs/DefaultOperator").toString(), "Nowak");
        EXPECT_EQ(Key().value("Seismograms/WageB").toInt(), 40);
        Key().remove("Dirs/DefaultOperator");
        Key().setValue("Seismograms/WageB", 70);
    }
}

TEST_F(PreferencesTest, NumberCheckOnLeavingAGeologyEdit) {
    fm->Pages()->setCurrentIndex(1);
    auto* dip = Control<QLineEdit>("defaultUpad");
    auto* strike = Control<QLineEdit>("defaultBieg");
    struct Case {
        const char* text;
        bool passes;
    };
    const Case cases[] = {{"", true}, {" 12 ", true}, {"4,5", true}, {"4.5", true}, {"1e3", true},
                          {"abc", false}, {"4,5,6", false}};
    for (const Case& c : cases) {
        recorded.warnings.clear();
        dip->setFocus();
        dip->setText(c.text);
        strike->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        if (c.passes) {
            EXPECT_TRUE(recorded.warnings.empty()) << c.text;
            EXPECT_TRUE(strike->hasFocus()) << c.text;
        } else {
            ASSERT_EQ(recorded.warnings.size(), 1u) << c.text;
            EXPECT_EQ(recorded.warnings[0], "Wprowadzona wartość nie jest liczbą!");
            EXPECT_TRUE(dip->hasFocus()) << c.text;
            EXPECT_EQ(dip->selectedText(), c.text);
        }
        EXPECT_EQ(dip->text(), c.text) << "the text itself is not rewritten";
    }
}

TEST_F(PreferencesTest, ColourDialogCancelledStillEnablesApply) {
    auto* plus = Control<TColourPanel>("PlusColor");
    QColor shown;
    {
        ScopedDialogRunner cancel([&](QDialog& d) {
            shown = dynamic_cast<QColorDialog&>(d).currentColor();
            dynamic_cast<QColorDialog&>(d).setCurrentColor(Qt::green);  // moved, then cancelled
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(plus, Qt::LeftButton);
    }
    EXPECT_EQ(shown, QColor(255, 0, 0));
    EXPECT_EQ(plus->Value(), 0x0000FFu);
    EXPECT_TRUE(fm->ApplyButton()->isEnabled());

    ScopedDialogRunner accept([](QDialog& d) {
        dynamic_cast<QColorDialog&>(d).setCurrentColor(QColor(0x12, 0x34, 0x56));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(plus, Qt::LeftButton);
    EXPECT_EQ(plus->Value(), 0x563412u);
    EXPECT_EQ(fm->Values().PlusColor, 0x563412u);
    // The caption is drawn in the inverted colour.
    const QImage picture = plus->grab().toImage();
    bool inverted = false;
    for (int x = 0; x < picture.width() && !inverted; ++x)
        inverted = picture.pixelColor(x, picture.height() / 2) == QColor(0xED, 0xCB, 0xA9);
    EXPECT_TRUE(inverted);
}

TEST_F(PreferencesTest, ZmienOpensTheDirectoryDialogAtTheLabelsFolder) {
    const QString target = QString::fromStdString(work.File("Wyniki"));
    QDir().mkpath(target);
    QDir().mkpath(QString::fromStdString(work.File("Roboczy")));
    auto* output = Control<QLabel>("OutputDirectory");
    output->setText(QString::fromStdString(work.File("Roboczy")));
    QString title, startedAt;
    // The folder browser is a modal dialog of its own: answer it when it is up.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        startedAt = dialog->directory().absolutePath();
        dialog->setDirectory(target);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::mouseClick(Control<QPushButton>("Button3"), Qt::LeftButton);
    EXPECT_EQ(title, "Wybierz folder");
    EXPECT_EQ(startedAt, QString::fromStdString(work.File("Roboczy")));
    EXPECT_EQ(output->text(), target);
    EXPECT_EQ(fm->Values().OutputDirectory, work.File("Wyniki"));
    EXPECT_TRUE(fm->ApplyButton()->isEnabled());

    // Cancelled: the label stays and nothing counts as edited.
    QTest::mouseClick(fm->ApplyButton(), Qt::LeftButton);
    const QString temp = Control<QLabel>("TempDirectory")->text();
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    QTest::mouseClick(Control<QPushButton>("Button2"), Qt::LeftButton);
    EXPECT_EQ(Control<QLabel>("TempDirectory")->text(), temp);
    EXPECT_FALSE(fm->ApplyButton()->isEnabled());
}

// The view filter's page starts at the onset picker's band and keeps what
// is applied.
TEST_F(PreferencesTest, TheViewFiltersPage) {
    const picking::BandPassSettings picker;
    auto* order = Control<QSpinBox>("FilterOrder");
    auto* low = Control<QDoubleSpinBox>("FilterLow");
    auto* high = Control<QDoubleSpinBox>("FilterHigh");
    EXPECT_EQ(order->value(), picker.order);
    EXPECT_DOUBLE_EQ(low->value(), picker.lowHz);
    EXPECT_DOUBLE_EQ(high->value(), picker.highHz);
    EXPECT_EQ(order->maximum(), 8);
    order->setValue(4);
    low->setValue(2.5);
    high->setValue(120);
    EXPECT_EQ(fm->Values().ViewFilter.order, 4) << "live before the apply";
    QTest::mouseClick(fm->ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(Key().value("Picking/FilterOrder").toInt(), 4);
    EXPECT_EQ(Key().value("Picking/FilterLow").toString(), "2.5");
    EXPECT_EQ(Key().value("Picking/FilterHigh").toString(), "120");
    Reshow();
    EXPECT_DOUBLE_EQ(Control<QDoubleSpinBox>("FilterLow")->value(), 2.5);
    EXPECT_EQ(fm->Values().ViewFilter.order, 4);
}

TEST_F(PreferencesTest, HelpByPage) {
    ApplicationHelp().SetHelpDirectory(QDir(DYMA_PROGRAM_DIR).filePath("help"));
    const int expected[] = {5010, 5020, 5030, 5040, 5050};
    for (int page = 0; page < 5; ++page) {
        fm->Pages()->setCurrentIndex(page);
        QTest::mouseClick(Control<QPushButton>("buttonHelp"), Qt::LeftButton);
        EXPECT_EQ(ApplicationHelp().LastContext(), expected[page]);
    }
    EXPECT_TRUE(recorded.Silent()) << "every page exists";
}

}  // namespace
