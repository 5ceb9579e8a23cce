// Placing a new window among its siblings.
#include "controls/NativeWindow.h"

#include <algorithm>

void PlaceNewWindow(const TWinControl& control, IWindowPeer& peer) {
    peer.SetBounds(control.BoundsRect());
    peer.SetDoubleBuffered(control.DoubleBuffered());
    if (TWinControl* parent = control.Parent()) {
        const auto& siblings = parent->WindowedChildren();
        auto self = std::find(siblings.begin(), siblings.end(), &control);
        for (auto it = self == siblings.end() ? self : self + 1; it != siblings.end(); ++it) {
            if (IWindowPeer* next = (*it)->HandleAllocated() ? (*it)->ClientPeer() : nullptr) {
                peer.StackUnder(*next);
                break;
            }
        }
    }
    peer.SetVisible(control.Showing());
}
