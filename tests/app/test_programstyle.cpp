#include "app/ProgramStyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOption>
#include <gtest/gtest.h>

#include <memory>

namespace {

// The same pixels at every size the icon has.
void ExpectSameIcon(const QIcon& expected, const QIcon& actual, const char* what)
{
    ASSERT_FALSE(expected.isNull()) << what;
    ASSERT_EQ(expected.availableSizes(), actual.availableSizes()) << what;
    for (const QSize& size : expected.availableSizes())
        EXPECT_EQ(expected.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
                  actual.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32))
            << what << " at " << size.width() << "x" << size.height();
}

} // namespace

TEST(ProgramStyle, ExtensionArrowsAreFusionsOwnInBothDirections)
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    TProgramStyle style;
    for (Qt::LayoutDirection dir : {Qt::LeftToRight, Qt::RightToLeft}) {
        QStyleOption option;
        option.direction = dir;
        ExpectSameIcon(fusion->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &option),
                       style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &option), "horizontal");
        ExpectSameIcon(fusion->standardIcon(QStyle::SP_ToolBarVerticalExtensionButton, &option),
                       style.standardIcon(QStyle::SP_ToolBarVerticalExtensionButton, &option), "vertical");
    }
    ExpectSameIcon(fusion->standardIcon(QStyle::SP_DialogOkButton), style.standardIcon(QStyle::SP_DialogOkButton),
                   "any other icon");
}

TEST(ProgramStyle, TakesFusionsPlaceWithoutChangingItsColours)
{
    QApplication::setStyle(QStringLiteral("fusion"));
    const QPalette before = QApplication::palette();
    ASSERT_TRUE(TProgramStyle::InstallOverFusion());
    EXPECT_NE(qobject_cast<TProgramStyle*>(QApplication::style()), nullptr);
    EXPECT_EQ(QApplication::palette(), before);

    // Another style is the user's choice: left as it is.
    QApplication::setStyle(QStringLiteral("windows"));
    EXPECT_FALSE(TProgramStyle::InstallOverFusion());
    EXPECT_EQ(qobject_cast<TProgramStyle*>(QApplication::style()), nullptr);
    QApplication::setStyle(QStringLiteral("fusion"));
}
