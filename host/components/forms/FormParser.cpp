#include "host/components/forms/FormFile.h"
#include "host/components/forms/FormFileDetail.h"

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

// Walks a document that parsed, so that a key given twice in one object (which a JSON
// library silently resolves to one of the values) is reported with its place. A handler
// of the parser's events of its own, rather than a callback of the parse that builds the
// document: with a callback the library walks the enclosing array at the end of every
// object in it, which made reading a long collection quadratic.
class TDuplicateKeyCheck : public nlohmann::json_sax<TJson> {
public:
    bool null() override { return EnterChild(); }
    bool boolean(bool) override { return EnterChild(); }
    bool number_integer(number_integer_t) override { return EnterChild(); }
    bool number_unsigned(number_unsigned_t) override { return EnterChild(); }
    bool number_float(number_float_t, const string_t&) override { return EnterChild(); }
    bool string(string_t&) override { return EnterChild(); }
    bool binary(binary_t&) override { return EnterChild(); }
    bool start_object(std::size_t) override {
        EnterChild();
        FFrames.emplace_back(true);
        return true;
    }
    bool start_array(std::size_t) override {
        EnterChild();
        FFrames.emplace_back(false);
        return true;
    }
    bool end_object() override {
        FFrames.pop_back();
        return true;
    }
    bool end_array() override {
        FFrames.pop_back();
        return true;
    }
    bool key(string_t& Key) override {
        RecordKey(Key);
        return true;
    }
    // The text parsed once already: it holds no syntax error.
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
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

    bool EnterChild() {
        if (FFrames.empty() || FFrames.back().IsObject)
            return true;
        TFrame& Array = FFrames.back();
        Array.Index = Array.HasIndex ? Array.Index + 1 : 0;
        Array.HasIndex = true;
        return true;
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
        TJson Document = TJson::parse(Text);
        TDuplicateKeyCheck Check;
        TJson::sax_parse(Text, &Check);
        return Document;
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
