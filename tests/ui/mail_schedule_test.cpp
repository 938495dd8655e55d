// The rules of unattended checks and of the retrieval notices.
#include <gtest/gtest.h>

#include "ui/mail_schedule.h"

namespace fhr {
namespace {

TEST(MailScheduleTest, AnUnattendedPassStartsOnlyWhenNothingStandsInItsWay) {
  EXPECT_TRUE(MayStartUnattendedPass({}));
  EXPECT_FALSE(MayStartUnattendedPass({.running = true}));
  EXPECT_FALSE(MayStartUnattendedPass({.modalOpen = true}));
  EXPECT_FALSE(MayStartUnattendedPass({.errorPending = true}));
  EXPECT_FALSE(MayStartUnattendedPass({.getMailBusy = true}));
}

TEST(MailScheduleTest, TheTimedCheckCountsMinutesAndWaitsForTheGate) {
  using Tick = MailCheckSchedule::Tick;
  MailCheckSchedule schedule;
  schedule.Restart();
  EXPECT_EQ(schedule.OnMinute(false, 2, {}), Tick::kStop);
  EXPECT_EQ(schedule.OnMinute(true, 2, {}), Tick::kWait);
  EXPECT_EQ(schedule.OnMinute(true, 2, {}), Tick::kCheckNow);
  EXPECT_EQ(schedule.minutes(), 0);
  // A check that falls due while an error is pending waits, and runs at
  // the first minute the error has been opened, not a whole period later.
  EXPECT_EQ(schedule.OnMinute(true, 2, {}), Tick::kWait);
  EXPECT_EQ(schedule.OnMinute(true, 2, {.errorPending = true}), Tick::kWait);
  EXPECT_EQ(schedule.OnMinute(true, 2, {.running = true}), Tick::kWait);
  EXPECT_EQ(schedule.minutes(), 2) << "the count stops at the period instead of growing without end";
  EXPECT_EQ(schedule.OnMinute(true, 2, {}), Tick::kCheckNow);
}

TEST(MailScheduleTest, TheErrorTextShakesTwentyTimesAndComesToRest) {
  std::string shown = kErrorNotice;
  std::vector<std::string> seen;
  for (int counter = 1; counter <= kShakeTicks + 1; ++counter) {
    shown = ShakenErrorText(shown, counter);
    seen.push_back(shown);
  }
  EXPECT_EQ(seen[0], "  ERROR! Click here!");
  EXPECT_EQ(seen[1], "ERROR! Click here!  ");
  EXPECT_EQ(seen[2], "  ERROR! Click here!");
  EXPECT_EQ(seen.back(), "ERROR! Click here!");
}

TEST(MailScheduleTest, TrayTipsCountTheNewMail) {
  EXPECT_EQ(NewMailTip(1), "You have 1 new email");
  EXPECT_EQ(NewMailTip(3), "You have 3 new emails");
}

TEST(MailScheduleTest, MessageRequestsReadAsBoxes) {
  struct Case {
    std::string request;
    std::string text;
    MsgKind kind;
    int buttons;
  };
  const Case cases[] = {
      {"No NNTP account defined!    |1|0", "No NNTP account defined!    ", MsgKind::Error, kMbOk},
      {"Go on?|3|4", "Go on?", MsgKind::Confirmation, kMbYesNo},
      {"a|b|2|1", "a|b", MsgKind::Information, kMbOkCancel},
      // Not two number fields at the end: the whole text, as an error.
      {"plain text", "plain text", MsgKind::Error, kMbOk},
      {"a|x|0", "a|x|0", MsgKind::Error, kMbOk},
      {"a|9|0", "a|9|0", MsgKind::Error, kMbOk},
      {"a|1|2", "a|1|2", MsgKind::Error, kMbOk},
      {"|1|0", "", MsgKind::Error, kMbOk},
      {"||", "||", MsgKind::Error, kMbOk},
  };
  for (const Case& c : cases) {
    const RequestedBox box = MessageRequestBox(c.request);
    EXPECT_EQ(box.text, c.text) << c.request;
    EXPECT_EQ(box.kind, c.kind) << c.request;
    EXPECT_EQ(box.buttons, c.buttons) << c.request;
  }
}

}  // namespace
}  // namespace fhr
