// The main frame comes up with the application's title and an MDI area for the editors.
#include "ui/mainframe.h"

#include <QMdiArea>

#include <gtest/gtest.h>

TEST(MainFrame, CarriesTheApplicationTitle) {
    TLxFrameForm frame;
    frame.show();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Lorvex for Windows"));
    ASSERT_NE(frame.MdiArea(), nullptr);
    EXPECT_EQ(LxFrameForm, &frame);
}
