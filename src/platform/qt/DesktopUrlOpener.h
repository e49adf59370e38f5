#pragma once

#include "platform/Url.h"

namespace vantorel {

// Opens a URL with the desktop's default handler (xdg-open and its kin). The URL's bytes are
// handed on as they are, so a file whose name is not UTF-8 still opens.
bool openWithDesktop(const Url& url);

}  // namespace vantorel
