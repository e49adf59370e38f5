#include "platform/sim/SimDesktop.h"

#include "app/playground/DesktopInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <map>
#include <optional>

namespace vantorel {
namespace {

constexpr EventFlags kShiftFlag = kEventFlagMaskShift;
constexpr EventFlags kControlFlag = 0x40000;
constexpr EventFlags kOptionFlag = kEventFlagMaskAlternate;
constexpr EventFlags kCommandFlag = 0x100000;

// The platform's virtual key codes of the keys a person types most.
std::optional<KeyCode> virtualKey(int key) {
    static const std::map<int, KeyCode> codes = {
        {Qt::Key_A, 0},          {Qt::Key_S, 1},        {Qt::Key_D, 2},        {Qt::Key_F, 3},
        {Qt::Key_H, 4},          {Qt::Key_G, 5},        {Qt::Key_Z, 6},        {Qt::Key_X, 7},
        {Qt::Key_C, 8},          {Qt::Key_V, 9},        {Qt::Key_B, 11},       {Qt::Key_Q, 12},
        {Qt::Key_W, 13},         {Qt::Key_E, 14},       {Qt::Key_R, 15},       {Qt::Key_Y, 16},
        {Qt::Key_T, 17},         {Qt::Key_1, 18},       {Qt::Key_2, 19},       {Qt::Key_3, 20},
        {Qt::Key_4, 21},         {Qt::Key_6, 22},       {Qt::Key_5, 23},       {Qt::Key_9, 25},
        {Qt::Key_7, 26},         {Qt::Key_8, 28},       {Qt::Key_0, 29},       {Qt::Key_O, 31},
        {Qt::Key_U, 32},         {Qt::Key_I, 34},       {Qt::Key_P, 35},       {Qt::Key_L, 37},
        {Qt::Key_J, 38},         {Qt::Key_K, 40},       {Qt::Key_N, 45},       {Qt::Key_M, 46},
        {Qt::Key_Return, 36},    {Qt::Key_Tab, 48},     {Qt::Key_Backtab, 48}, {Qt::Key_Space, 49},
        {Qt::Key_Backspace, 51}, {Qt::Key_Escape, 53},  {Qt::Key_Enter, 76},   {Qt::Key_Left, 123},
        {Qt::Key_Right, 124},    {Qt::Key_Down, 125},   {Qt::Key_Up, 126},     {Qt::Key_Shift, 56},
        {Qt::Key_Alt, 58},       {Qt::Key_Control, 59}, {Qt::Key_Meta, 55},
    };
    const auto it = codes.find(key);
    if (it == codes.end()) return std::nullopt;
    return it->second;
}

EventFlags modifierFlag(int key) {
    switch (key) {
        case Qt::Key_Shift:
            return kShiftFlag;
        case Qt::Key_Alt:
            return kOptionFlag;
        case Qt::Key_Control:
            return kControlFlag;
        case Qt::Key_Meta:
            return kCommandFlag;
        default:
            return 0;
    }
}

EventFlags flagsOf(Qt::KeyboardModifiers modifiers) {
    EventFlags flags = 0;
    if (modifiers & Qt::ShiftModifier) flags |= kShiftFlag;
    if (modifiers & Qt::AltModifier) flags |= kOptionFlag;
    if (modifiers & Qt::ControlModifier) flags |= kControlFlag;
    if (modifiers & Qt::MetaModifier) flags |= kCommandFlag;
    return flags;
}

}  // namespace

DesktopInput::DesktopInput(SimDesktop& desktop, SimKeyEvents& keyboard, QWidget* view)
    : desktop_(desktop), keyboard_(keyboard), view_(view) {
    qApp->installEventFilter(this);
}

DesktopInput::~DesktopInput() {
    qApp->removeEventFilter(this);
}

bool DesktopInput::eventFilter(QObject* watched, QEvent* event) {
    if (!view_) return false;
    if (event->type() == QEvent::MouseButtonPress && watched == view_.data()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) click(mouse->position());
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    if (QApplication::activeWindow() != view_->window()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const auto code = virtualKey(key->key());
    if (!code) return false;
    const bool press = event->type() == QEvent::KeyPress;
    EventFlags flags = flagsOf(key->modifiers());
    if (const EventFlags own = modifierFlag(key->key())) {
        // Whatever Qt says about the modifier's own bit, pressing sets it and releasing clears it.
        flags = press ? flags | own : flags & ~own;
        return keyboard_.type(kEventTypeFlagsChanged, *code, flags);
    }
    return keyboard_.type(press ? kEventTypeKeyDown : kEventTypeKeyUp, *code, flags);
}

void DesktopInput::click(QPointF at) {
    // Front to back: the first window under the click is the one clicked.
    for (const WindowNumber number : desktop_.windowServer.order()) {
        const SimWindow* window = desktop_.windows.find(number);
        const auto* record = desktop_.windowServer.record(number);
        if (!window || !record || !record->onScreen || window->spec.layer != 0) continue;
        if (!window->spec.frame.contains({at.x(), at.y()})) continue;
        desktop_.windows.raise(window->id);
        desktop_.workspace.activate(window->pid);
        return;
    }
}

}  // namespace vantorel
