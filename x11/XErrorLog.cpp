#include "x11/XErrorLog.h"

#include <cstdio>

namespace {

struct ErrorKind {
  unsigned char code;
  unsigned char request;
  unsigned char minorRequest;
  long count;
  char text[80];  // the server's name for the code, kept for the last report
};

ErrorKind Kinds[ErrorKindsKept];
int KindCount = 0;
long OtherErrors = 0;

}  // namespace

void LogXError(Display* display, const XErrorEvent& error) {
  for (int i = 0; i < KindCount; ++i) {
    ErrorKind& kind = Kinds[i];
    if (kind.code == error.error_code && kind.request == error.request_code &&
        kind.minorRequest == error.minor_code) {
      ++kind.count;
      return;
    }
  }
  if (KindCount == ErrorKindsKept) {
    if (OtherErrors++ == 0) {
      std::fprintf(stderr, "quillara: X errors of more than %d kinds: the rest only counted\n",
                   ErrorKindsKept);
    }
    return;
  }
  ErrorKind& kind = Kinds[KindCount++];
  kind = {error.error_code, error.request_code, error.minor_code, 1, {}};
  XGetErrorText(display, error.error_code, kind.text, sizeof kind.text);
  std::fprintf(stderr, "quillara: X error %s on request %d.%d\n", kind.text, kind.request,
               kind.minorRequest);
}

void ReportXErrorCounts() {
  for (int i = 0; i < KindCount; ++i) {
    const ErrorKind& kind = Kinds[i];
    if (kind.count > 1) {
      std::fprintf(stderr, "quillara: X error %s on request %d.%d came %ld times\n", kind.text,
                   kind.request, kind.minorRequest, kind.count);
    }
  }
  if (OtherErrors > 0) {
    std::fprintf(stderr, "quillara: %ld X errors of other kinds\n", OtherErrors);
  }
}
