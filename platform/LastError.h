// The system's text for the calling thread's last error (GetLastError / errno). The text lives in
// a process-wide slot that the next call replaces.
#pragma once

namespace tessaly {

const wchar_t* LastErrorText();

}  // namespace tessaly
