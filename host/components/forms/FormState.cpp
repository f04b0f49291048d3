#include "host/components/forms/FormState.h"

#include "host/components/controls/Control.h"
#include "host/components/graphics/Bitmap.h"
#include "host/components/model/Component.h"
#include "host/components/model/StreamableCollection.h"
#include "host/components/model/Strings.h"

namespace vorn::formfile {

TObjectState CaptureState(TObject& Object) {
    TObjectState State;
    if (auto* Strings = dynamic_cast<TStrings*>(&Object)) {
        State.StringItems.emplace();
        for (int Index = 0; Index < Strings->Count(); ++Index)
            State.StringItems->emplace_back(Strings->Strings(Index), Strings->Objects(Index));
    }
    if (auto* Control = dynamic_cast<TControl*>(&Object))
        State.Parent = Control->Parent();
    if (auto* Bitmap = dynamic_cast<TBitmap*>(&Object))
        State.BitmapData = Bitmap->Empty() ? std::vector<std::uint8_t>() : Bitmap->SaveToBytes();
    if (auto* Collection = dynamic_cast<IStreamableCollection*>(&Object)) {
        State.CollectionItems.emplace();
        for (int Index = 0; Index < Collection->StreamItemCount(); ++Index)
            State.CollectionItems->push_back(CaptureState(Collection->StreamItem(Index)));
    }
    for (const TPropertyInfo* Property : Object.ClassType().Properties()) {
        if (Property->Type->Kind == tkMethod)
            continue;
        if (Property->Type->Kind == tkObject) {
            if (auto* SubObject = std::get<TObject*>(Property->Get(Object)))
                State.Properties.push_back(
                    {Property, {}, std::make_unique<TObjectState>(CaptureState(*SubObject))});
            continue;
        }
        if (Property->Set)
            State.Properties.push_back({Property, Property->Get(Object), nullptr});
    }
    return State;
}

namespace {

template <class F>
void IgnoringFailure(F Action) noexcept {
    try {
        Action();
    } catch (...) {
        // See RestoreState: the failure being reported matters more than this one.
    }
}

} // namespace

void RestoreState(TObject& Object, const TObjectState& State) noexcept {
    if (State.StringItems) {
        if (auto* Strings = dynamic_cast<TStrings*>(&Object))
            IgnoringFailure([&] {
                Strings->Clear();
                for (const auto& [Text, Item] : *State.StringItems)
                    Strings->AddObject(Text, Item);
            });
    }
    if (State.Parent) {
        if (auto* Control = dynamic_cast<TControl*>(&Object))
            IgnoringFailure([&] { Control->SetParent(*State.Parent); });
    }
    if (State.BitmapData) {
        if (auto* Bitmap = dynamic_cast<TBitmap*>(&Object))
            IgnoringFailure([&] {
                if (State.BitmapData->empty())
                    Bitmap->SetSize(0, 0);
                else
                    Bitmap->LoadFromBytes(*State.BitmapData);
            });
    }
    if (State.CollectionItems) {
        if (auto* Collection = dynamic_cast<IStreamableCollection*>(&Object))
            IgnoringFailure([&] {
                Collection->ClearStreamItems();
                for (const TObjectState& ItemState : *State.CollectionItems)
                    RestoreState(Collection->AddStreamItem(), ItemState);
            });
    }
    for (const TPropertyState& Saved : State.Properties) {
        if (!Saved.SubObject) {
            IgnoringFailure([&] { Saved.Property->Set(Object, Saved.Value); });
            continue;
        }
        IgnoringFailure([&] {
            if (auto* SubObject = std::get<TObject*>(Saved.Property->Get(Object)))
                RestoreState(*SubObject, *Saved.SubObject);
        });
    }
}

} // namespace vorn::formfile
