// Work put off until the window's first paint runs once, after that paint and not before.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <vector>

#include "platform/first_paint.h"

namespace {

class Painted : public QWidget {
public:
    int paints = 0;
    int runsSeenAtPaint = -1;
    const int* runs = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        if (paints++ == 0 && runs) {
            runsSeenAtPaint = *runs;
        }
    }
};

TEST(AfterFirstPaint, RunsOnceAfterTheFirstPaint) {
    QWidget window;
    auto* child = new Painted;
    child->setParent(&window);
    child->resize(100, 100);
    window.resize(100, 100);
    int runs = 0;
    child->runs = &runs;
    afterFirstPaint(&window, [&runs] { ++runs; });
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0) << "ran before the window was shown";

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 5000));
    EXPECT_EQ(child->runsSeenAtPaint, 0) << "ran before the first paint";

    child->repaint();
    window.update();
    QTest::qWait(50);
    EXPECT_EQ(runs, 1);
    EXPECT_GE(child->paints, 2);
}

TEST(AfterFirstPaint, OtherWindowsDoNotCount) {
    QWidget watched;
    QWidget other;
    other.resize(50, 50);
    int runs = 0;
    afterFirstPaint(&watched, [&runs] { ++runs; });
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.repaint();
    QTest::qWait(50);
    EXPECT_EQ(runs, 0);
}

TEST(AfterFirstPaint, ActionsForOnePaintRunInTheOrderAskedFor) {
    // Start-up measurements ask first for any window and end the program there: nothing
    // asked for later may run before them.
    QWidget window;
    window.resize(50, 50);
    std::vector<int> order;
    afterFirstPaint(nullptr, [&order] { order.push_back(1); });
    afterFirstPaint(&window, [&order] { order.push_back(2); });
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 2; }, 5000));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(AfterFirstPaint, AWindowGoneBeforeItsPaintIsNoHarm) {
    int runs = 0;
    {
        QWidget window;
        afterFirstPaint(&window, [&runs] { ++runs; });
    }
    QWidget next;
    next.resize(50, 50);
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    next.repaint();
    QTest::qWait(50);
    EXPECT_EQ(runs, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
