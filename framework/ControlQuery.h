// Asks a form's window about one of its controls, also from another process
// (accessibility tools, tests): wParam a global atom of the control's name,
// lParam what; the answer -1 when there is no such control. The caption
// comes back as a new global atom, which the asker deletes; the handle is
// the control's own window (0 for windowless controls).
#pragma once

#include <windows.h>

class TForm;

constexpr const char* ControlInfoMessage = "Tarvo.ControlInfo";
enum : int { ciLeft, ciTop, ciWidth, ciHeight, ciTag, ciCaption, ciHandle };

namespace Framework {
// True when msg is the query; result then holds the answer.
bool AnswerControlQuery(TForm& form, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
}  // namespace Framework
