#include "model/ContentChangingEventHandler.h"

#include "model/ContentEvent.h"
#include "model/ITrack.h"

namespace vortrel {

void ContentChangingEventHandler::Handle(ISubject& subject) {
    auto* changing = dynamic_cast<ContentEvent*>(&subject);
    if (changing != nullptr && changing->GetContent() != nullptr) {
        owner_->KeepApart(*changing->GetContent());
    }
}

}  // namespace vortrel
