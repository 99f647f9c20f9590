#include "app/DefaultsDialog.h"
#include "platform/Profile.h"
#include "platform/ScriptedPrompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

void PrintTo(const DefaultSettings& s, std::ostream* os)
{
    *os << s.xAxisLength << ' ' << s.yAxisLength << ' ' << s.labelSize << ' '
        << s.labelFace.toStdString() << ' ' << s.labelSpacing << ' ' << s.titleSize << ' '
        << s.titleFace.toStdString() << ' ' << s.symbolChar << ' ' << s.symbolFace.toStdString()
        << ' ' << s.symbolSize << ' ' << s.titleSpacing << ' ' << s.tickDir << ' ' << s.units << ' '
        << s.originX << ' ' << s.originY << ' ' << s.scale;
}

namespace {

QLineEdit* edit(QWidget* dialog, int id)
{
    auto* e = dialog->findChild<QLineEdit*>(QStringLiteral("edit%1").arg(id));
    EXPECT_NE(e, nullptr) << "no field " << id;
    return e;
}

QRadioButton* radio(QWidget* dialog, int id)
{
    auto* r = dialog->findChild<QRadioButton*>(QStringLiteral("radio%1").arg(id));
    EXPECT_NE(r, nullptr) << "no radio button " << id;
    return r;
}

void click(QAbstractButton* button)
{
    // Near the left edge: a radio button reacts on its indicator and text, not on the space a
    // layout may add to its right.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void clickOk(QWidget* dialog)
{
    click(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
}

void clickCancel(QWidget* dialog)
{
    click(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel));
}

void setField(QWidget* dialog, int id, const QString& text)
{
    QLineEdit* e = edit(dialog, id);
    e->clear();
    QTest::keyClicks(e, text);
    ASSERT_EQ(e->text(), text);
}

QString text(QWidget* dialog, int id)
{
    return edit(dialog, id)->text();
}

class DefaultsDialogTest : public ::testing::Test
{
protected:
    QString profilePath() const { return QDir(dir_.path()).filePath("plotvane.ini"); }

    QByteArray profileText() const
    {
        QFile file(profilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Runs the whole command; `drive` works the dialog once it is shown and must close it.
    bool runCommand(DefaultSettings& settings, const std::function<void(QDialog*)>& drive)
    {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            drive(dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog->reject();
            }
        });
        Profile profile(profilePath());
        bool written = false;
        const bool confirmed = runDefaultsCommand(nullptr, settings, profile, prompter_, &written);
        EXPECT_EQ(written, confirmed);
        return confirmed;
    }

    QTemporaryDir dir_;
    ScriptedPrompter prompter_;
};

TEST_F(DefaultsDialogTest, ShowsCentimetresAndStoresInchesAgain)
{
    DefaultSettings settings;
    settings.units = 1;
    bool shown = false;
    EXPECT_TRUE(runCommand(settings, [&](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Plotvane Defaults");
        EXPECT_EQ(text(dialog, 143), "15.24");
        EXPECT_EQ(text(dialog, 144), "10.16");
        EXPECT_EQ(text(dialog, 165), "2.54");
        EXPECT_EQ(text(dialog, 172), "1");
        EXPECT_TRUE(radio(dialog, 158)->isChecked());
        shown = true;
        clickOk(dialog);
    }));
    EXPECT_TRUE(shown);
    EXPECT_FLOAT_EQ(settings.xAxisLength, 6.0f);
    EXPECT_FLOAT_EQ(settings.yAxisLength, 4.0f);
    EXPECT_FLOAT_EQ(settings.originX, 1.0f);
    EXPECT_EQ(settings.units, 1);
    const QByteArray stored = profileText();
    EXPECT_TRUE(stored.contains("XAxisLength=6.000000\n")) << stored.constData();
    EXPECT_TRUE(stored.contains("LabelSpacing=0.100000\n")) << stored.constData();
    EXPECT_TRUE(stored.contains("Units=1\n")) << stored.constData();
    EXPECT_EQ(stored.count('\n'), 17) << "all sixteen keys";
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(DefaultsDialogTest, CancelAfterSwitchingUnitsChangesNothing)
{
    DefaultSettings settings;
    settings.xAxisLength = 5.5f;
    {
        Profile profile(profilePath());
        ASSERT_TRUE(settings.write(profile));
    }
    const QByteArray before = profileText();
    const DefaultSettings original = settings;
    EXPECT_FALSE(runCommand(settings, [](QDialog* dialog) {
        click(radio(dialog, 158));
        setField(dialog, 144, "20");
        click(radio(dialog, 157));
        click(radio(dialog, 158));
        clickCancel(dialog);
    }));
    EXPECT_EQ(settings, original);
    EXPECT_EQ(profileText(), before);
}

TEST_F(DefaultsDialogTest, ConfirmedFieldsReachEveryKey)
{
    DefaultSettings settings;
    EXPECT_TRUE(runCommand(settings, [](QDialog* dialog) {
        setField(dialog, 143, "7.5");
        setField(dialog, 144, " 3 ");
        setField(dialog, 145, "9");
        setField(dialog, 146, "DejaVu Sans");
        setField(dialog, 147, "20");
        setField(dialog, 148, "Liberation Serif");
        setField(dialog, 156, "0.5");
        click(radio(dialog, 150));
        setField(dialog, 151, "-0.25");
        setField(dialog, 152, "8");
        setField(dialog, 154, "Symbol");
        setField(dialog, 155, "110");
        setField(dialog, 165, "1.5");
        setField(dialog, 164, "-2");
        setField(dialog, 172, "0.5");
        clickOk(dialog);
    }));
    DefaultSettings expected;
    expected.xAxisLength = 7.5f;
    expected.yAxisLength = 3.0f;
    expected.labelSize = 9;
    expected.labelFace = "DejaVu Sans";
    expected.titleSize = 20;
    expected.titleFace = "Liberation Serif";
    expected.titleSpacing = 0.5f;
    expected.tickDir = 1;
    expected.labelSpacing = -0.25f;
    expected.symbolSize = 8;
    expected.symbolFace = "Symbol";
    expected.symbolChar = 110;
    expected.originX = 1.5f;
    expected.originY = -2.0f;
    expected.scale = 0.5f;
    EXPECT_EQ(settings, expected);
    DefaultSettings stored;
    Profile profile(profilePath());
    stored.read(profile);
    EXPECT_EQ(stored, expected);
}

TEST_F(DefaultsDialogTest, AProfileThatCannotBeWrittenIsReportedAndTheDialogStays)
{
    // A folder where the file should be: no one can write the profile there.
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("plotvane.ini")));
    DefaultSettings settings;
    const DefaultSettings original = settings;
    EXPECT_FALSE(runCommand(settings, [this](QDialog* dialog) {
        setField(dialog, 143, "7.5");
        clickOk(dialog);
        EXPECT_TRUE(dialog->isVisible());
        ASSERT_EQ(prompter_.texts().size(), 1);
        EXPECT_TRUE(prompter_.texts()[0].contains(profilePath()))
            << prompter_.texts()[0].toStdString();
        EXPECT_EQ(text(dialog, 143), "7.5");
        clickCancel(dialog);
    }));
    EXPECT_EQ(settings, original);
}

class DialogFixture : public ::testing::Test
{
protected:
    void open(const DefaultSettings& settings = {})
    {
        dialog_ = std::make_unique<DefaultsDialog>(settings, prompter_);
        dialog_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    }

    ScriptedPrompter prompter_;
    std::unique_ptr<DefaultsDialog> dialog_;
};

struct SwitchCase
{
    int id;
    const char* inch;
    const char* cm;
};

void PrintTo(const SwitchCase& c, std::ostream* os)
{
    *os << "control " << c.id;
}

class UnitSwitchTest : public DialogFixture, public ::testing::WithParamInterface<SwitchCase>
{};

TEST_P(UnitSwitchTest, InchCmInchShowsTheConvertedValues)
{
    open();
    const SwitchCase& c = GetParam();
    QWidget* d = dialog_.get();
    EXPECT_EQ(text(d, c.id), c.inch);
    click(radio(d, 158));
    EXPECT_EQ(text(d, c.id), c.cm);
    // The units already shown: no second conversion.
    click(radio(d, 158));
    EXPECT_EQ(text(d, c.id), c.cm);
    click(radio(d, 157));
    EXPECT_EQ(text(d, c.id), c.inch);
    EXPECT_TRUE(radio(d, 157)->isChecked());
    EXPECT_EQ(dialog_->shownUnits(), 0);
    EXPECT_TRUE(prompter_.records().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Defaults, UnitSwitchTest,
    ::testing::Values(SwitchCase{143, "6", "15.24"}, SwitchCase{144, "4", "10.16"},
                      SwitchCase{151, "0.1", "0.254"}, SwitchCase{156, "0.4", "1.016"},
                      SwitchCase{165, "1", "2.54"}, SwitchCase{164, "1", "2.54"},
                      SwitchCase{172, "1", "1"}, SwitchCase{145, "12", "12"},
                      SwitchCase{155, "108", "108"}));

TEST_F(DialogFixture, SwitchingWithABadFieldKeepsTheUnits)
{
    open();
    setField(dialog_.get(), 145, "big");
    click(radio(dialog_.get(), 158));
    EXPECT_EQ(prompter_.texts(), QStringList{"Please enter an integer."});
    EXPECT_TRUE(radio(dialog_.get(), 157)->isChecked());
    EXPECT_FALSE(radio(dialog_.get(), 158)->isChecked());
    EXPECT_EQ(dialog_->shownUnits(), 0);
    EXPECT_EQ(text(dialog_.get(), 143), "6");
}

struct RefusalCase
{
    int id;
    const char* text;
    const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << "control " << c.id << " \"" << c.text << '"';
}

class RefusalTest : public DialogFixture, public ::testing::WithParamInterface<RefusalCase>
{};

TEST_P(RefusalTest, KeepsTheDialogOpenOnTheBadField)
{
    open();
    const RefusalCase& c = GetParam();
    setField(dialog_.get(), c.id, c.text);
    clickOk(dialog_.get());
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, c.message);
    EXPECT_EQ(prompter_.records()[0].icon, Prompter::Icon::Exclamation);
    QLineEdit* field = edit(dialog_.get(), c.id);
    EXPECT_EQ(dialog_->focusWidget(), field);
    EXPECT_EQ(field->selectedText(), field->text());
    EXPECT_EQ(dialog_->settings(), DefaultSettings{});
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RefusalTest,
    ::testing::Values(RefusalCase{143, "0", "Please enter a number between 0.01 and 300."},
                      RefusalCase{143, "301", "Please enter a number between 0.01 and 300."},
                      RefusalCase{144, "0.0099", "Please enter a number between 0.01 and 300."},
                      RefusalCase{143, "abc", "Please enter a number."},
                      RefusalCase{143, "", "Please enter a number."},
                      RefusalCase{143, "6 in", "Please enter a number."},
                      RefusalCase{156, "nan", "Please enter a number."},
                      RefusalCase{156, "1e39", "Please enter a number."},
                      RefusalCase{151, "100.5", "Please enter a number between -100 and 100."},
                      RefusalCase{165, "-33", "Please enter a number between -32 and 32."},
                      RefusalCase{164, "32.01", "Please enter a number between -32 and 32."},
                      RefusalCase{172, "0.09", "Please enter a number between 0.1 and 10."},
                      RefusalCase{172, "inf", "Please enter a number."},
                      RefusalCase{145, "12.5", "Please enter an integer."},
                      RefusalCase{147, "99999999999", "Please enter an integer."},
                      RefusalCase{152, "", "Please enter an integer."},
                      RefusalCase{155, "-1", "Please enter a positive integer."},
                      RefusalCase{155, "1.5", "Please enter a positive integer."},
                      RefusalCase{155, "4294967296", "Please enter a positive integer."}));

TEST_F(DialogFixture, TakesTheFirstBadFieldOnly)
{
    open();
    setField(dialog_.get(), 144, "0");
    setField(dialog_.get(), 172, "0");
    clickOk(dialog_.get());
    EXPECT_EQ(prompter_.texts(), QStringList{"Please enter a number between 0.01 and 300."});
    EXPECT_EQ(dialog_->focusWidget(), edit(dialog_.get(), 144));
}

TEST_F(DialogFixture, AcceptsTheBoundsThemselves)
{
    open();
    setField(dialog_.get(), 143, "0.01");
    setField(dialog_.get(), 144, "300");
    setField(dialog_.get(), 165, "-32");
    setField(dialog_.get(), 172, "10");
    clickOk(dialog_.get());
    EXPECT_TRUE(prompter_.records().empty()) << prompter_.texts().join('\n').toStdString();
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_EQ(dialog_->settings().xAxisLength, 0.01f);
    EXPECT_EQ(dialog_->settings().yAxisLength, 300.0f);
}

} // namespace
