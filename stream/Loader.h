// Loading definitions into components. TReader's loading operations read one definition: the root,
// its components by class name, their properties by name, references and event handlers. Around
// them, the loading frame here finds a root class's definitions among the program's resources, reads
// them in order and finishes every component once all of them are read.
#pragma once

#include "stream/TypInfo.h"

#include <functional>

class TComponent;

// Loads the definitions of instance's class chain, from the class just below rootAncestor down to the
// instance's own class, each found as the program resource named after the class. Returns false when no
// class of the chain has a definition.
bool InitInheritedComponent(TComponent* instance, const TClassInfo& rootAncestor);

// While it exists, this thread's end-of-loading calls are reported to it, in order, each just before
// the component's FinishLoading. Watches nest; the innermost one is told.
class TFinishLoadingWatch {
public:
    explicit TFinishLoadingWatch(std::function<void(TComponent*)> onFinish);
    ~TFinishLoadingWatch();
    TFinishLoadingWatch(const TFinishLoadingWatch&) = delete;
    TFinishLoadingWatch& operator=(const TFinishLoadingWatch&) = delete;

private:
    std::function<void(TComponent*)> FOnFinish;
    const std::function<void(TComponent*)>* FOuter;
};
