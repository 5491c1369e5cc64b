// Measures, in one run on one full-screen window:
//  1. the saver's frame on a full universe against a bare glClear + glFinish
//     + SwapBuffers (bench/common/FrameCost.h);
//  2. the CPU time the real saver (RunSaver, full screen, 10 ms timer) uses
//     per second of wall time, and the frames it draws per second.
// Usage: render_bench [--seconds S] [--frames N]
#include <windows.h>

#include <cstdio>

#include "bench/common/BenchOptions.h"
#include "bench/common/FrameCost.h"
#include "host/HostState.h"
#include "host/SaverWindow.h"
#include "render/SaverProc.h"
#include "render/scene/Scene.h"
#include "sim/Universe.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME t) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return v.QuadPart / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

void Present() { SwapBuffers(DeviceContext); }

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) return 0;  // frames are driven by the comparison
  return SaverProc(window, message, wParam, lParam);
}

// The frame cost on a private full-screen window with the saver's procedure.
void CompareSaverFrameCost(int frames) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = BenchWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "QuillaraRenderBench";
  RegisterClassA(&windowClass);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  PreviewMode = 1;  // no closing rules for this private window
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0,
                                width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
  std::printf("window %d x %d\n", width, height);
  CompareFrameCost(frames, Present, "SwapBuffers");
  DestroyWindow(window);
  PreviewMode = 0;
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

int FramesSeen = 0;

LRESULT CALLBACK CountFrames(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && message->message == WM_TIMER && message->hwnd == SaverWindow &&
      message->wParam == FrameTimerId && wParam == PM_REMOVE) {
    // The first universe follows the user's settings; measure a full one.
    if (FramesSeen++ == 0)
      ReplaceUniverse(NewUniverseWithCounts(UniverseCapacity, UniverseCapacity));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK EndSaver(HWND, UINT, UINT_PTR, DWORD) { PostMessageA(SaverWindow, WM_CLOSE, 0, 0); }

// The real saver, full screen, for `seconds` of wall time.
void MeasureSaverCpu(double seconds) {
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, CountFrames, nullptr, GetCurrentThreadId());
  const UINT_PTR stopper = SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), EndSaver);
  const double cpuStart = ProcessCpuSeconds(), wallStart = Now();
  RunSaver(nullptr);
  const double cpu = ProcessCpuSeconds() - cpuStart, wall = Now() - wallStart;
  KillTimer(nullptr, stopper);
  UnhookWindowsHookEx(hook);
  std::printf("saver, full screen:        %8.3f s CPU in %.3f s wall = %.1f%% of one core\n", cpu,
              wall, 100.0 * cpu / wall);
  std::printf("frames drawn:              %8d (%.1f per second)\n", FramesSeen, FramesSeen / wall);
}

}  // namespace

int main(int argc, char** argv) {
  const BenchOptions options = ReadBenchOptions(argc, argv);
  ModuleInstance = GetModuleHandleA(nullptr);
  CompareSaverFrameCost(options.frames);
  MeasureSaverCpu(options.seconds);
  std::fflush(stdout);
  return FramesSeen > 0 ? 0 : 1;
}
