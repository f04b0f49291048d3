#include "host/components/FormFile.h"
#include "host/components/FormFileDetail.h"

#include <algorithm>
#include <set>
#include <vector>

namespace vorn::formfile {

void FailReading(const std::string& Pointer, const std::string& ClassProperty,
                 const std::string& Message) {
    std::string Text = "Error reading form file";
    if (!Pointer.empty())
        Text += " at " + Pointer;
    if (!ClassProperty.empty())
        Text += " (" + ClassProperty + ")";
    throw EReadError(Text + ": " + Message);
}

namespace {

// Follows the parser through the document, so that a key given twice in one object (which
// a JSON library silently resolves to one of the values) is reported with its place.
class TDuplicateKeyCheck {
public:
    bool operator()(int, TJson::parse_event_t Event, TJson& Parsed) {
        switch (Event) {
        case TJson::parse_event_t::object_start:
            EnterChild();
            FFrames.emplace_back(true);
            break;
        case TJson::parse_event_t::array_start:
            EnterChild();
            FFrames.emplace_back(false);
            break;
        case TJson::parse_event_t::object_end:
        case TJson::parse_event_t::array_end:
            FFrames.pop_back();
            break;
        case TJson::parse_event_t::key:
            RecordKey(Parsed.get_ref<const std::string&>());
            break;
        case TJson::parse_event_t::value:
            EnterChild();
            break;
        }
        return true;
    }

private:
    struct TFrame {
        explicit TFrame(bool AIsObject) : IsObject(AIsObject) {}
        bool IsObject;
        std::set<std::string> Keys;
        std::string Key;
        std::size_t Index = 0;
        bool HasIndex = false;
    };

    void EnterChild() {
        if (FFrames.empty() || FFrames.back().IsObject)
            return;
        TFrame& Array = FFrames.back();
        Array.Index = Array.HasIndex ? Array.Index + 1 : 0;
        Array.HasIndex = true;
    }

    void RecordKey(const std::string& Key) {
        TFrame& Object = FFrames.back();
        if (!Object.Keys.insert(Key).second) {
            std::string Pointer;
            for (std::size_t Level = 0; Level + 1 < FFrames.size(); ++Level)
                Pointer = FFrames[Level].IsObject ? PointerChild(Pointer, FFrames[Level].Key)
                                                  : PointerChild(Pointer, FFrames[Level].Index);
            FailReading(PointerChild(Pointer, Key), "", "the key \"" + Key + "\" is given twice");
        }
        Object.Key = Key;
    }

    std::vector<TFrame> FFrames;
};

} // namespace

TJson ParseFormText(const std::string& Text) {
    try {
        return TJson::parse(Text, TDuplicateKeyCheck());
    } catch (const TJson::parse_error& E) {
        // E.byte counts from 1 and points at the character that broke the syntax.
        const std::size_t Offset = std::min<std::size_t>(E.byte == 0 ? 0 : E.byte - 1, Text.size());
        const std::size_t Line =
            1 + static_cast<std::size_t>(std::count(Text.begin(), Text.begin() + Offset, '\n'));
        const std::size_t LineStart = Text.rfind('\n', Offset == 0 ? 0 : Offset - 1);
        const std::size_t Column =
            LineStart == std::string::npos || Offset == 0 ? Offset + 1 : Offset - LineStart;
        const std::string What = E.what();
        const std::size_t Reason = What.find(": ", What.find("column"));
        throw EReadError("Error reading form file: invalid JSON at line " + std::to_string(Line) +
                         ", column " + std::to_string(Column) + ": " +
                         (Reason == std::string::npos ? What : What.substr(Reason + 2)));
    }
}

} // namespace vorn::formfile
