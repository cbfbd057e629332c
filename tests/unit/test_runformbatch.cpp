// The run window applies queued lines in batches and time slices: the text and OutputLineCount must come out
// exactly as when every line is applied on its own, through the trimming at the length and line-count limits.
#include "core/sharedstate.h"
#include "engine/printline.h"
#include "engine/runwindowqueue.h"
#include "tests/testsupport.h"
#include "ui/runform.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// What the run window shows after a scenario, with its line count.
struct Outcome {
    QString Text;
    int Lines = 0;
};

// One step of a scenario: queue something for the run window.
using Step = std::function<void()>;

class RunWindowBatches : public ::testing::Test {
protected:
    void TearDown() override {
        RunWindowQueue::Instance().Reset();
        Rc.EchoOn = 1;
    }

    // How the queue is applied: after every step (one line at a time), only at the end (all lines
    // in one batch), or in the time slices of the running window, every few steps and then until
    // nothing is left.
    enum class Apply { OneByOne, Batch, Sliced };

    static Outcome Run(const std::vector<Step>& steps, int maxLength, int startCount, Apply apply) {
        RunWindowQueue::Instance().Reset();
        auto form = std::make_unique<TRunForm>();
        form->CLSBtnClick();
        form->SetMaxTextLength(maxLength);
        Rc.OutputLineCount = startCount;
        int stepCount = 0;
        for (const Step& step : steps) {
            step();
            if (apply == Apply::OneByOne) form->ApplyQueue();
            if (apply == Apply::Sliced && ++stepCount % 5 == 0) form->ApplyQueueSlice();
        }
        if (apply == Apply::Sliced) {
            for (QString before; before != form->Text() || !RunWindowQueue::Instance().Empty();) {
                before = form->Text();
                form->ApplyQueueSlice();
            }
        }
        form->ApplyQueue();
        Outcome outcome{form->Text(), Rc.OutputLineCount.load()};
        form.reset();
        RunWindowQueue::Instance().Reset();
        return outcome;
    }

    static void ExpectSameBothWays(const std::vector<Step>& steps, int maxLength, int startCount = 0) {
        const Outcome single = Run(steps, maxLength, startCount, Apply::OneByOne);
        const Outcome batched = Run(steps, maxLength, startCount, Apply::Batch);
        EXPECT_EQ(batched.Text, single.Text);
        EXPECT_EQ(batched.Lines, single.Lines);
        const Outcome sliced = Run(steps, maxLength, startCount, Apply::Sliced);
        EXPECT_EQ(sliced.Text, single.Text);
        EXPECT_EQ(sliced.Lines, single.Lines);
    }

    static Step Line(const QString& text) {
        return [text] { FlushPrintLine(text); };
    }
};

TEST_F(RunWindowBatches, TrimmingAtTheLengthLimitMatchesLineByLine) {
    std::vector<Step> steps;
    for (int i = 0; i < 1100; ++i) // more than two chunks of lines that go in at once
        steps.push_back(Line(QString(i % 17, QLatin1Char('a' + i % 26)) + QString::number(i)));
    for (const int limit : {20, 61, 200, 1000, 100000}) {
        SCOPED_TRACE(limit);
        ExpectSameBothWays(steps, limit);
    }
}

TEST_F(RunWindowBatches, LinesLongerThanTheWindowEmptyItAsLineByLine) {
    // A batch line that alone passes the limit pushes out the lines of the same batch before it,
    // and the empty window then takes it anyway.
    const std::vector<Step> steps = {Line(QStringLiteral("one")),
                                     Line(QStringLiteral("two")),
                                     Line(QString(50, QLatin1Char('x'))),
                                     Line(QStringLiteral("three")),
                                     Line(QString()),
                                     Line(QString(49, QLatin1Char('y'))),
                                     Line(QStringLiteral("four"))};
    for (const int limit : {10, 30, 52, 53, 54, 60}) {
        SCOPED_TRACE(limit);
        ExpectSameBothWays(steps, limit);
    }
}

TEST_F(RunWindowBatches, LinesWithLineBreaksInsideAndEchoLinesKeepTheirOwnRules) {
    // Characters that the text turns into line breaks, the key echo's own trimming and caret, and
    // text appended without a line end all sit between runs of plain lines.
    std::vector<Step> steps;
    for (int i = 0; i < 40; ++i) {
        steps.push_back(Line(QStringLiteral("plain %1").arg(i)));
        if (i % 7 == 3) steps.push_back(Line(QStringLiteral("cr\rinside %1").arg(i)));
        if (i % 9 == 4) steps.push_back(Line(QStringLiteral("lf\ninside\r\n%1").arg(i)));
        if (i % 11 == 5) steps.push_back([i] { FlushInputEchoLine(QStringLiteral("echo%1").arg(i)); });
        if (i % 13 == 6) {
            steps.push_back([i] {
                RunWindowEvent event;
                event.Op = RunWindowOp::AppendText;
                event.Text =
                    QStringLiteral("listed %1").arg(i); // no line end: the next line starts after one
                RunWindowQueue::Instance().Push(std::move(event));
            });
        }
        if (i == 30) {
            steps.push_back([] {
                RunWindowEvent event;
                event.Op = RunWindowOp::ClearText;
                RunWindowQueue::Instance().Push(std::move(event));
            });
        }
    }
    for (const int limit : {40, 120, 400, 100000}) {
        SCOPED_TRACE(limit);
        ExpectSameBothWays(steps, limit);
    }
}

TEST_F(RunWindowBatches, TheLineCountStopsAtItsLimitAsLineByLine) {
    // From 1,000,000 lines on, every new line first deletes the oldest: the count never passes it.
    std::vector<Step> steps;
    for (int i = 0; i < 30; ++i)
        steps.push_back(Line(QStringLiteral("n%1").arg(i)));
    ExpectSameBothWays(steps, 100000, 999990);
    const Outcome batched = Run(steps, 100000, 999990, Apply::Batch);
    EXPECT_LE(batched.Lines, 1000000);
    EXPECT_TRUE(batched.Text.endsWith(QStringLiteral("n29\n")));
}

} // namespace
