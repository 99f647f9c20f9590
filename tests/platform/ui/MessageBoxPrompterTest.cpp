#include "platform/ui/MessageBoxPrompter.h"
#include "platform/Strings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Answer = Prompter::Answer;
using Buttons = Prompter::Buttons;
using Icon = Prompter::Icon;

// Runs `act` on the first visible top-level widget of type W once it shows up; gives up (and
// closes whatever modal window is open) after two seconds so a failing test cannot hang.
template <typename W> void whenShown(std::function<void(W*)> act)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* target = qobject_cast<W*>(w); target && target->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(target);
                return;
            }
        }
        if (++*tries > 200) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no window appeared";
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        }
    });
    timer->start(10);
}

struct BoxCase
{
    Buttons buttons;
    QMessageBox::StandardButton click;
    Answer expected;
};

class QuestionTest : public ::testing::TestWithParam<BoxCase>
{};

TEST_P(QuestionTest, ReturnsTheClickedButton)
{
    const BoxCase c = GetParam();
    QString seenText;
    QString seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    bool modal = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        modal = box->windowModality() == Qt::ApplicationModal;
        box->button(c.click)->click();
    });
    MessageBoxPrompter prompter;
    const Answer answer =
        prompter.question(QStringLiteral("Delete?"), {}, c.buttons, Icon::Information);
    EXPECT_EQ(answer, c.expected);
    EXPECT_EQ(seenText, "Delete?");
    EXPECT_EQ(seenTitle, loadString(Str::AppTitle));
    EXPECT_EQ(seenIcon, QMessageBox::Information);
    EXPECT_TRUE(modal);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, QuestionTest,
    ::testing::Values(BoxCase{Buttons::YesNo, QMessageBox::Yes, Answer::Yes},
                      BoxCase{Buttons::YesNo, QMessageBox::No, Answer::No},
                      BoxCase{Buttons::OkCancel, QMessageBox::Ok, Answer::Ok},
                      BoxCase{Buttons::OkCancel, QMessageBox::Cancel, Answer::Cancel},
                      BoxCase{Buttons::YesNoCancel, QMessageBox::Cancel, Answer::Cancel}));

TEST(MessageBoxPrompter, EscapeGivesTheCancellingAnswer)
{
    whenShown<QMessageBox>([](QMessageBox* box) { box->reject(); });
    MessageBoxPrompter prompter;
    EXPECT_EQ(prompter.question(QStringLiteral("Go on?"), {}, Buttons::YesNo, Icon::Exclamation),
              Answer::No);
}

TEST(MessageBoxPrompter, MessageShowsCaptionAndIcon)
{
    QString seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    MessageBoxPrompter prompter;
    prompter.message(loadString(Str::NotDataFile), QStringLiteral("/data/a.dat"),
                     Icon::Exclamation);
    EXPECT_EQ(seenTitle, "/data/a.dat");
    EXPECT_EQ(seenIcon, QMessageBox::Warning);
}

TEST(MessageBoxPrompter, OpenFileStartsAtThePathAndReturnsTheChoice)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = QDir(dir.path()).filePath(QStringLiteral("a.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QString seenDir;
    QString seenSuffix;
    QStringList seenFilters;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        seenDir = dialog->directory().absolutePath();
        seenSuffix = dialog->defaultSuffix();
        seenFilters = dialog->nameFilters();
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    MessageBoxPrompter prompter;
    const QString chosen = prompter.openFileName({}, dir.path(), loadString(Str::DataFileFilter),
                                                 QStringLiteral("dat"));
    EXPECT_EQ(chosen, path);
    EXPECT_EQ(seenDir, QDir(dir.path()).absolutePath());
    EXPECT_EQ(seenSuffix, "dat");
    EXPECT_EQ(seenFilters, QStringList({"Data Files (*.dat)", "All Files (*)"}));
}

TEST(MessageBoxPrompter, CancelledSaveIsEmpty)
{
    whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    MessageBoxPrompter prompter;
    EXPECT_TRUE(prompter
                    .saveFileName({}, loadString(Str::LogDefaultFileName),
                                  loadString(Str::LogFileFilter), QStringLiteral("TXT"))
                    .isEmpty());
}

} // namespace
