#pragma once

namespace vantorel {

// How the preview views appear to assistive tools. Only what the user can act on now is there:
// a container lists its children while it is shown in a shown panel, a card while it is live,
// and the large layout's strip is a tab list whose one selected tab is the card shown large.
class PreviewAccessible {
public:
    // Registers the interfaces with Qt; once per process, from any view's constructor.
    static void install();
};

}  // namespace vantorel
