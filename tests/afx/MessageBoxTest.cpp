#include <gtest/gtest.h>

#include "afxhost.h"
#include "afxwin.h"

namespace {

class MessageBoxes : public ::testing::Test {
protected:
  void SetUp() override {
    AfxSetDisplay(nullptr);
    AfxGetHeadlessDisplay().ClearMessageBoxes();
    AfxGetHeadlessDisplay().ClearQueuedAnswers();
  }
  void TearDown() override { AfxSetMessageBoxListener(nullptr); }
  AfxHeadlessDisplay& display = AfxGetHeadlessDisplay();
};

TEST_F(MessageBoxes, EveryBoxIsRecordedInOrderWithOwnerCaptionTextAndIcon) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, "Frame", "Host", 0, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(MessageBoxA(nullptr, "FBX SDK could not start", "FBX Error", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(owner.MessageBox("Model sent", "Info"), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDOK);

  const auto& boxes = display.MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ(boxes[0].caption, "FBX Error");
  EXPECT_EQ(boxes[0].text, "FBX SDK could not start");
  EXPECT_EQ(boxes[0].Icon(), MB_ICONERROR);
  EXPECT_EQ(boxes[0].Icon(), 0x10u);
  EXPECT_EQ(boxes[1].owner, owner.GetSafeHwnd());
  EXPECT_EQ(boxes[1].caption, "Info");
  EXPECT_EQ(boxes[1].Icon(), 0u);
  EXPECT_EQ(boxes[2].caption, "Error");  // a null caption reads "Error"
  EXPECT_EQ(boxes[2].text, "");

  display.ClearMessageBoxes();
  EXPECT_TRUE(display.MessageBoxes().empty());
}

TEST_F(MessageBoxes, ScriptedAnswersAreTakenInOrderAndDefaultsFollowTheDefaultButton) {
  display.QueueMessageBoxAnswer(IDNO);
  display.QueueMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "Replace?", "Pigmora", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Send?", "Pigmora", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(display.QueuedAnswerCount(), 0u);
  EXPECT_EQ(MessageBoxA(nullptr, "Send?", "Pigmora", MB_OKCANCEL), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "Retry?", "Pigmora", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "Retry?", "Pigmora", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Odd", "Pigmora", MB_YESNO | MB_DEFBUTTON3), IDYES);  // no third button

  // An answer the box cannot give (a script error) falls back to the default button.
  display.QueueMessageBoxAnswer(IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "Done", "Info", MB_OK), IDOK);
  EXPECT_EQ(display.MessageBoxes().back().answer, IDOK);
}

TEST_F(MessageBoxes, ListenerSeesEachBoxBeforeItIsAnsweredAndCanEchoToStandardError) {
  std::vector<std::string> heard;
  AfxSetMessageBoxListener([&](const AfxMessageBoxRecord& box) {
    heard.push_back("[" + box.caption + "] " + box.text);
    EXPECT_EQ(box.answer, 0);
  });
  MessageBoxA(nullptr, "Path to Pigmora was not set", "Error", MB_ICONERROR);
  EXPECT_EQ(heard, (std::vector<std::string>{"[Error] Path to Pigmora was not set"}));

  AfxEchoMessageBoxesToStandardError();
  ::testing::internal::CaptureStderr();
  MessageBoxA(nullptr, "Import failed", "Pigmora", MB_ICONERROR);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Pigmora] Import failed\n");
}

class ScriptedDisplay : public AfxDisplay {
public:
  int ShowMessageBox(const AfxMessageBoxRecord& box) override {
    shown.push_back(box.text);
    return answer;
  }
  void WaitForEvents(int) override {}
  std::vector<std::string> shown;
  int answer = IDRETRY;
};

TEST_F(MessageBoxes, AnotherDisplayTakesOverAndItsAnswersAreChecked) {
  ScriptedDisplay other;
  AfxSetDisplay(&other);
  EXPECT_EQ(&AfxGetDisplay(), &other);
  EXPECT_EQ(MessageBoxA(nullptr, "a", "c", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(MessageBoxA(nullptr, "b", "c", MB_OK), IDOK);  // IDRETRY is no answer to an OK box
  EXPECT_EQ(other.shown, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(display.MessageBoxes().empty());
  AfxSetDisplay(nullptr);
  EXPECT_EQ(&AfxGetDisplay(), &display);
}

}  // namespace
