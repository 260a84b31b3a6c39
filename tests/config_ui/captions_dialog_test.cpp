// The captions editor window: its controls and tab order, the list it stores
// however it ends, the 500 limit, Enter in the text box, and the look
// controls that store at once and redraw the preview.

#include "config_ui/captions_dialog.h"

#include "saver/saver_engine.h"
#include "startup/startup.h"
#include "tests/support/test_support.h"
#include "tests/support/virtual_host.h"
#include "tests/support/window_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace wm {
namespace {

class CaptionsDialogTest : public testing::Test {
  protected:
    CaptionsDialogTest() { apply_default_captions(settings); }

    void open(QWidget* parent = nullptr) {
        dialog = std::make_unique<CaptionsDialog>(settings, parent);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    template <class T = QWidget>
    T* control(const char* name) {
        return test::control<T>(*dialog, name);
    }

    QListWidget* list() { return control<QListWidget>("List1"); }
    QLineEdit* text() { return control<QLineEdit>("Text1"); }
    QLabel* preview() { return control<QLabel>("Label1"); }
    QScrollBar* colour_bar() { return control<QScrollBar>("HScroll5"); }
    QScrollBar* size_bar() { return control<QScrollBar>("HScroll6"); }
    void click(const char* name) { control<QAbstractButton>(name)->click(); }
    void add(const QString& caption) {
        text()->setText(caption);
        click("Command1");
    }

    QStringList stored() const {
        QStringList captions;
        for (int n = 1; n <= settings.captions_total; ++n) {
            captions.append(settings.captions[static_cast<std::size_t>(n)]);
        }
        return captions;
    }

    QColor preview_colour() { return preview()->palette().color(QPalette::WindowText); }
    bool preview_centred() {
        const QPoint off = preview()->geometry().center() - control("Picture2")->rect().center();
        return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
    }

    SaverSettings settings;
    test::MessageCapture messages;
    std::unique_ptr<CaptionsDialog> dialog;
};

TEST_F(CaptionsDialogTest, EveryControlHasItsCaptionAndTooltip) {
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frm_captions"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Wintermere - Edit Captions"));
    test::expect_controls(
        *dialog,
        {
            {"Text1", "QLineEdit", {}, QStringLiteral("Add a caption and then click on Add")},
            {"Command1", "QPushButton", QStringLiteral("&Add"),
             QStringLiteral("To add a caption, add text to the text box and then click on Add")},
            {"List1", "QListWidget", {}, QStringLiteral("This is the list of captions to display")},
            {"Command2", "QPushButton", QStringLiteral("&Remove"),
             QStringLiteral("To remove a caption highlight the caption and then click Remove")},
            {"Command3", "QPushButton", QStringLiteral("&Ok"),
             QStringLiteral("Click here to exit this screen")},
            {"Check1", "QCheckBox", QStringLiteral("Random Captions"),
             QStringLiteral("Check this box to display your captions randomly")},
            {"Check2", "QCheckBox", QStringLiteral("Bold"),
             QStringLiteral("Check this box to have bold caption text")},
            {"Check3", "QCheckBox", QStringLiteral("Italic"),
             QStringLiteral("Check this box to have italic caption text")},
            {"HScroll5", "QScrollBar", {}, {}},
            {"HScroll6", "QScrollBar", {}, {}},
            {"Label7", "QLabel", QStringLiteral("Caption Color"), {}},
            {"Label8", "QLabel", QStringLiteral("Caption Size"), {}},
            {"Label2", "QLabel", QStringLiteral("Smaller"), {}},
            {"Label2_2", "QLabel", QStringLiteral("Larger"), {}},
            {"Picture2", "QFrame", {}, {}},
            {"Label1", "QLabel", QStringLiteral("Example"), {}},
        });
    for (QScrollBar* bar : {colour_bar(), size_bar()}) {
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_TRUE(bar->hasTracking());
    }
    EXPECT_EQ(colour_bar()->minimum(), 1);
    EXPECT_EQ(colour_bar()->maximum(), 15);
    EXPECT_EQ(size_bar()->minimum(), 8);
    EXPECT_EQ(size_bar()->maximum(), 80);
    EXPECT_EQ(size_bar()->singleStep(), 1);
    EXPECT_EQ(size_bar()->pageStep(), 10);
    EXPECT_EQ(control<QLabel>("Label7")->buddy(), colour_bar());
    EXPECT_EQ(control<QLabel>("Label8")->buddy(), size_bar());
    EXPECT_EQ(preview()->parentWidget(), control("Picture2"));
    EXPECT_TRUE(control<QPushButton>("Command3")->isDefault());

    QApplication::setActiveWindow(dialog.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    QStringList order;
    for (int i = 0; i < 10 && QApplication::focusWidget() != nullptr; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order.join(u' '), QStringLiteral("Text1 Command1 List1 Command2 Check1 Check2 Check3 "
                                               "HScroll5 HScroll6 Command3"));
}

TEST_F(CaptionsDialogTest, EveryWayOfClosingStoresTheEditedList) {
    QStringList expected = stored().mid(1);
    expected << QStringLiteral("Frost");
    for (int way = 0; way < 5; ++way) {
        SCOPED_TRACE(way);
        apply_default_captions(settings);
        auto parent = std::make_unique<QWidget>();
        open(way == 4 ? parent.get() : nullptr);
        add(QStringLiteral("Frost"));
        click("Command2");  // nothing selected: nothing removed
        EXPECT_EQ(list()->count(), 6);
        list()->item(0)->setSelected(true);
        click("Command2");
        if (way == 0) {
            click("Command3");
        } else if (way == 1) {
            QTest::keyClick(list(), Qt::Key_Escape);
        } else if (way == 2) {
            dialog->close();  // the close box
        } else if (way == 3) {
            QTest::keyClick(list(), Qt::Key_Return);  // "&Ok" is the default button
        } else {
            static_cast<void>(dialog.release());  // the parent takes the open window along
            parent.reset();
        }
        EXPECT_TRUE(dialog == nullptr || !dialog->isVisible());
        EXPECT_EQ(stored(), expected);
    }
}

TEST_F(CaptionsDialogTest, TheFiveHundredAndFirstCaptionIsRefusedAndKeptInTheBox) {
    settings.captions_total = 499;
    open();
    add(QString());
    add(QStringLiteral("Five hundred"));
    EXPECT_EQ(list()->count(), 500);
    EXPECT_TRUE(text()->text().isEmpty());
    EXPECT_TRUE(messages.messages().empty());

    add(QStringLiteral("One too many"));
    ASSERT_EQ(messages.messages().size(), 1U);
    EXPECT_EQ(messages.messages()[0].caption, QStringLiteral("Captions Filled!"));
    EXPECT_EQ(messages.messages()[0].text,
              QStringLiteral("All 500 available captions have been filled!"));
    EXPECT_EQ(text()->text(), QStringLiteral("One too many"));
    click("Command3");
    EXPECT_EQ(settings.captions_total, 500);
    EXPECT_EQ(settings.captions[500], QStringLiteral("Five hundred"));
}

TEST_F(CaptionsDialogTest, WithEveryCaptionRemovedTheSaverAsksForCaptions) {
    open();
    while (list()->count() > 0) {
        list()->item(0)->setSelected(true);
        click("Command2");
    }
    dialog->close();
    EXPECT_EQ(settings.captions_total, 0);

    struct NoWindow : SaverHooks {
        void show_time_of_day(const QString&) override {}
        bool verify_password() override { return true; }
    } hooks;
    test::VirtualHost host;
    RunState state;
    state.settings = settings;
    EXPECT_EQ(SaverEngine(host, state, hooks).next_caption(),
              QStringLiteral("Please edit your captions!"));
}

TEST_F(CaptionsDialogTest, EnterInTheTextBoxAddsTheCaptionAsTypedAndTheWindowStays) {
    open();
    QTest::keyClicks(text(), QStringLiteral("  Snow  day "));
    QTest::keyClick(text(), Qt::Key_Return);
    QTest::keyClick(text(), Qt::Key_Enter);  // nothing typed: nothing added
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(text()->text().isEmpty());
    click("Command3");
    EXPECT_EQ(settings.captions_total, 6);
    EXPECT_EQ(settings.captions[6], QStringLiteral("  Snow  day "));
}

TEST_F(CaptionsDialogTest, TheLookIsStoredAtOnceAndDrawnInThePreview) {
    open();  // bright white, 30 points, bold, italic
    EXPECT_EQ(preview()->text(), QStringLiteral("Example"));
    EXPECT_EQ(preview()->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(preview()->font().pointSize(), 30);
    EXPECT_TRUE(preview()->font().bold() && preview()->font().italic());
    EXPECT_EQ(preview_colour(), QColor(255, 255, 255));
    EXPECT_TRUE(preview_centred());

    colour_bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    colour_bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(settings.captions_color, 1);  // never 0: black cannot be chosen
    EXPECT_EQ(preview_colour(), QColor(0, 0, 128));
    colour_bar()->setSliderDown(true);  // dragged: the preview follows the thumb
    colour_bar()->setSliderPosition(15);
    EXPECT_EQ(settings.captions_color, 15);
    EXPECT_EQ(preview_colour(), QColor(255, 255, 255));
    colour_bar()->setSliderDown(false);

    size_bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);  // a click in the track
    EXPECT_EQ(settings.captions_size, 40);
    EXPECT_EQ(preview()->font().pointSize(), 40);
    size_bar()->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(settings.captions_size, 8);
    EXPECT_EQ(preview()->font().pointSize(), 8);

    click("Check2");
    click("Check3");
    EXPECT_EQ(settings.captions_bold, 0);
    EXPECT_EQ(settings.captions_italic, 0);
    EXPECT_FALSE(preview()->font().bold() || preview()->font().italic());
    EXPECT_TRUE(preview_centred());
}

TEST_F(CaptionsDialogTest, AnUnmovedLookKeepsThePreviewsFirstTextAndRandomOrderNeverRedraws) {
    settings.captions_color = 1;
    settings.captions_size = 8;
    settings.captions_bold = 0;
    settings.captions_italic = 0;
    open();
    EXPECT_EQ(preview()->text(), QStringLiteral("Caption"));
    click("Check1");
    EXPECT_EQ(settings.captions_random, 1);
    EXPECT_EQ(preview()->text(), QStringLiteral("Caption"));
    click("Check3");
    EXPECT_EQ(preview()->text(), QStringLiteral("Example"));
    EXPECT_TRUE(preview()->font().italic());
}

TEST_F(CaptionsDialogTest, StoredValuesOutsideTheBarsStayUntilTheBarMoves) {
    settings.captions_size = 200;
    settings.captions_color = 0;
    open();
    EXPECT_EQ(size_bar()->value(), 80);
    EXPECT_EQ(colour_bar()->value(), 1);
    EXPECT_EQ(preview_colour(), QColor(0, 0, 0));  // as the saver draws it
    click("Check2");
    EXPECT_EQ(settings.captions_size, 200);
    EXPECT_EQ(settings.captions_color, 0);
    size_bar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(settings.captions_size, 79);
    EXPECT_EQ(settings.captions_color, 0);
    colour_bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(settings.captions_color, 2);

    settings.captions_size = -5;
    open();
    EXPECT_EQ(size_bar()->value(), 8);
    dialog->close();
    EXPECT_EQ(settings.captions_size, -5);
}

}  // namespace
}  // namespace wm
