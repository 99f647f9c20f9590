#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/PlotChild.h"
#include "axes/YAxis.h"
#include "doc/DocumentCommands.h"
#include "doc/PlotDocument.h"
#include "platform/ScriptedPrompter.h"
#include "platform/ui/FormatObjectDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QPushButton* okButton(QWidget* dialog)
{
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (b->text() == QStringLiteral("Ok") || b->text() == QStringLiteral("&OK") ||
            b->text() == QStringLiteral("OK"))
            return b;
    }
    return nullptr;
}

} // namespace

// The way a user makes an axis logarithmic: Format > Axes, the axis chosen by name, Log ticked.
TEST(AxisRouteTest, FormatAxesCommandMakesTheChosenAxisLogarithmic)
{
    ScriptedPrompter prompter;
    PrompterScope prompterScope(&prompter);
    ProgramDialogs dialogs;
    MainWindow frame;
    frame.show();
    PlotChild* child = frame.openFile(QStringLiteral(PLOTVANE_EXAMPLES "/power-law.dat"));
    ASSERT_NE(child, nullptr);
    YAxis* yAxis = nullptr;
    for (visibleobject* obj : child->document().GetObjects()) {
        if (obj->isKindOf(&YAxis::classRecord))
            yAxis = static_cast<YAxis*>(obj);
    }
    ASSERT_NE(yAxis, nullptr);
    ASSERT_FALSE(yAxis->GetLogScale());

    QStringList answered;
    QTimer answerer;
    answerer.setInterval(10);
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || answered.size() > 4)
            return;
        answered.append(modal->windowTitle());
        if (auto* chooser = qobject_cast<FormatObjectDialog*>(modal)) {
            const auto items = chooser->list()->findItems(yAxis->GetName(), Qt::MatchExactly);
            if (!items.isEmpty())
                chooser->list()->setCurrentItem(items.first());
        } else if (auto* log = modal->findChild<QCheckBox*>(QStringLiteral("check117"))) {
            log->click();
        }
        if (QPushButton* ok = okButton(modal))
            ok->click();
    });
    answerer.start();
    frame.updateCommands();
    QAction* formatAxes = frame.action(Cmd::FormatAxes);
    ASSERT_TRUE(formatAxes->isEnabled());
    formatAxes->trigger();
    answerer.stop();

    EXPECT_EQ(answered,
              (QStringList{QStringLiteral("Select Axis..."), QStringLiteral("Format Axes")}));
    EXPECT_TRUE(yAxis->GetLogScale());
    EXPECT_TRUE(child->document().IsModified());
    EXPECT_TRUE(prompter.texts().isEmpty())
        << prompter.texts().join(QLatin1Char('\n')).toStdString();
}
