#include "ole/ui/FormatOleObjectDialog.h"
#include "common/FakeView.h"
#include "ole/OleTestSupport.h"
#include "ole/VisibleOLE.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Settings.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

struct ScaleCase
{
    const char* scale;
    bool accepted;
};

class FormatOleObjectDialogTest : public ::testing::TestWithParam<ScaleCase>
{};

TEST_P(FormatOleObjectDialogTest, ScaleRangeIsOneToFiftyThousand)
{
    ScriptedPrompter prompter;
    PrompterScope scope(&prompter);
    VisibleOLE obj(ClientItem::fromPicture(pngBytes(10, 10)));
    FormatOleObjectDialog dialog(obj);
    for (const char* name : {"edit104", "edit105"}) {
        dialog.findChild<QLineEdit*>(QString::fromLatin1(name))
            ->setText(QString::fromLatin1(GetParam().scale));
    }
    dialog.accept();
    const uint32_t expected = GetParam().accepted ? QByteArray(GetParam().scale).toUInt() : 100;
    EXPECT_EQ(dialog.result() == QDialog::Accepted, GetParam().accepted);
    EXPECT_EQ(obj.horizontalScale(), expected);
    EXPECT_EQ(obj.verticalScale(), expected);
    EXPECT_EQ(prompter.texts(),
              GetParam().accepted
                  ? QStringList()
                  : QStringList{QStringLiteral("Please enter an integer between 1 and 50000.")});
}

INSTANTIATE_TEST_SUITE_P(Scales, FormatOleObjectDialogTest,
                         ::testing::Values(ScaleCase{"1", true}, ScaleCase{"50000", true},
                                           ScaleCase{"0", false}, ScaleCase{"50001", false}));

TEST(FormatOleObjectDialogUnits, PositionInCentimetresAndAngleInTenths)
{
    const int saved = defaultSettings().units;
    defaultSettings().units = Settings::cm;
    VisibleOLE obj(ClientItem::fromPicture(pngBytes(10, 10)));
    obj.x = 1.0f;
    obj.setAngle(125);
    {
        FormatOleObjectDialog dialog(obj);
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("static160"))->text(),
                  QStringLiteral("Position (cm):"));
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("edit101"))->text(),
                  QStringLiteral("2.54"));
        dialog.findChild<QLineEdit*>(QStringLiteral("edit102"))->setText(QStringLiteral("5.08"));
        dialog.findChild<QLineEdit*>(QStringLiteral("edit103"))->setText(QStringLiteral("30.55"));
        dialog.accept();
    }
    defaultSettings().units = saved;
    EXPECT_FLOAT_EQ(obj.y, 2.0f);
    EXPECT_EQ(obj.angle(), 305);
}

} // namespace
