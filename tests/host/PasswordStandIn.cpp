// Test stand-in for the system's password component "PASSWORD.CPL".  Its
// verifier answers as the test scripts it, records every call, and can run a
// scripted action while "the dialog is open".  Built a second time without
// the verifier entry.
#include <windows.h>

#define STANDIN_API extern "C" __declspec(dllexport)

namespace {
const int MaxAnswers = 16;
const int MaxCalls = 16;
BOOL Answers[MaxAnswers];
int AnswerCount = 0;
int NextAnswer = 0;
HWND CallWindows[MaxCalls];
int CallCount = 0;
void (*DuringCall)(HWND window) = nullptr;
}  // namespace

// Answers are used in order; once they run out the verifier refuses.
STANDIN_API void StandInQueueAnswer(BOOL answer) {
  if (AnswerCount < MaxAnswers) Answers[AnswerCount++] = answer;
}

STANDIN_API void StandInSetDuringCall(void (*action)(HWND window)) { DuringCall = action; }

STANDIN_API int StandInCallCount() { return CallCount; }

STANDIN_API HWND StandInCallWindow(int index) {
  return index >= 0 && index < CallCount && index < MaxCalls ? CallWindows[index] : nullptr;
}

#ifndef STANDIN_WITHOUT_VERIFIER
STANDIN_API BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  if (CallCount < MaxCalls) {
    CallWindows[CallCount] = window;
  }
  ++CallCount;
  if (DuringCall != nullptr) DuringCall(window);
  return NextAnswer < AnswerCount ? Answers[NextAnswer++] : FALSE;
}
#endif
