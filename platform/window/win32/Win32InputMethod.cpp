// The input method through its own messages: the candidate window opens at our caret and a
// composed string arrives whole, as one piece of text.

#include <string>

#include "platform/window/win32/Win32Native.h"

#include <imm.h>

namespace platform::window::win32 {

void placeCandidateWindow(Win32Backend::Native& n) {
  if (!n.caret) return;
  HIMC context = ImmGetContext(n.native);
  if (context == nullptr) return;
  const ::RECT caret = toPixels(*n.caret, n.scale);
  COMPOSITIONFORM composition{};
  composition.dwStyle = CFS_POINT;
  composition.ptCurrentPos = {caret.left, caret.top};
  ImmSetCompositionWindow(context, &composition);
  CANDIDATEFORM candidate{};
  candidate.dwIndex = 0;
  // Below the caret, and never over it.
  candidate.dwStyle = CFS_EXCLUDE;
  candidate.ptCurrentPos = {caret.left, caret.bottom};
  candidate.rcArea = caret;
  ImmSetCandidateWindow(context, &candidate);
  ImmReleaseContext(n.native, context);
}

namespace {

std::optional<std::wstring> resultString(::HWND native) {
  HIMC context = ImmGetContext(native);
  if (context == nullptr) return std::nullopt;
  std::optional<std::wstring> result;
  const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
  if (bytes > 0) {
    std::wstring text(static_cast<std::size_t>(bytes) / sizeof(wchar_t), L'\0');
    ImmGetCompositionStringW(context, GCS_RESULTSTR, text.data(), static_cast<::DWORD>(bytes));
    result = std::move(text);
  }
  ImmReleaseContext(native, context);
  return result;
}

}  // namespace

bool handleInputMethod(Win32Backend::Native& n, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT* result) {
  switch (message) {
    case WM_IME_STARTCOMPOSITION:
      placeCandidateWindow(n);
      return false;  // the system still draws the composition
    case WM_IME_COMPOSITION:
      if (lParam & GCS_RESULTSTR) {
        if (auto text = resultString(n.native)) {
          // Taken whole here, so no WM_IME_CHAR follows piece by piece.
          if (!text->empty()) n.owner->queue(event::Text{n.hwnd, utf8(*text)});
          placeCandidateWindow(n);
          *result = 0;
          return true;
        }
      }
      return false;
    case WM_IME_CHAR: {
      // Only where no result string could be read: one character, surrogates paired.
      const wchar_t c = static_cast<wchar_t>(wParam);
      if (IS_HIGH_SURROGATE(c)) {
        n.highSurrogate = c;
      } else {
        std::wstring text = IS_LOW_SURROGATE(c) && n.highSurrogate != 0 ? std::wstring{n.highSurrogate, c}
                                                                         : std::wstring{c};
        n.highSurrogate = 0;
        if (c >= 0x20) n.owner->queue(event::Text{n.hwnd, utf8(text)});
      }
      *result = 0;
      return true;
    }
    default: return false;
  }
}

}  // namespace platform::window::win32
