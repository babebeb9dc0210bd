#pragma once

#include <string>
#include <vector>

#include "core/text.h"
#include "system/event.h"
#include "system/hook.h"

namespace qrv::test {

// Records every emitted event for as long as it lives.
class TEventRecorder final : public TObject {
public:
    struct TRecorded {
        int32_t id, data, mods, x, y;
        bool operator==(const TRecorded&) const = default;
    };

    TEventRecorder() = default;
    static Ref<TEventRecorder> Start(int32_t priority = 100) {
        auto recorder = std::make_shared<TEventRecorder>();
        InstallHook(EventHookId(), Record, recorder, priority);
        return recorder;
    }
    void Stop(const Ref<TEventRecorder>& self) { UninstallHook(EventHookId(), Record, self); }

    std::vector<TRecorded> events;

    std::vector<TRecorded> OfId(int32_t id) const {
        std::vector<TRecorded> matching;
        for (const auto& event : events)
            if (event.id == id) matching.push_back(event);
        return matching;
    }
    std::vector<int32_t> Ids() const {
        std::vector<int32_t> ids;
        for (const auto& event : events) ids.push_back(event.id);
        return ids;
    }
    // The events one per line, for failure messages.
    std::string Describe() const {
        std::string text;
        for (const auto& e : events)
            text += ToUtf8(MakeEvent(e.id, nullptr, e.data, e.mods, e.x, e.y)->ToString()) + "\n";
        return text;
    }

private:
    static Ref<TObject> Record(int32_t, Ref<TObject> data, Ref<TObject> context) {
        auto* self = static_cast<TEventRecorder*>(context.get());
        if (auto* event = dynamic_cast<TEvent*>(data.get()))
            self->events.push_back({event->id, event->data, event->mods, event->x, event->y});
        return data;
    }
};

// Removes the recorder's hook when the scope ends.
class TRecording {
public:
    explicit TRecording(int32_t priority = 100) : recorder(TEventRecorder::Start(priority)) {}
    ~TRecording() { recorder->Stop(recorder); }
    TEventRecorder* operator->() const { return recorder.get(); }
    TEventRecorder& operator*() const { return *recorder; }

private:
    Ref<TEventRecorder> recorder;
};

}  // namespace qrv::test
