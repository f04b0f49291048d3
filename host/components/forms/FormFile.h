#pragma once

#include "host/components/model/Component.h"
#include "host/components/model/Exception.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vorn {

// A form file that cannot be read: malformed JSON, an unknown class or property, a value
// of the wrong type, a dangling component reference, a bad component name or a value that
// a setter rejects. The message names the place in the file as a JSON pointer and, for a
// property, the class and property ("... at /components/0/properties/Width (TEdit.Width): ...").
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// A form that cannot be written (a reference to a component outside the form, a value
// outside its type) or a file that cannot be created.
class EWriteError : public Exception {
public:
    using Exception::Exception;
};

// Form files are JSON: one object per component,
//   {"class": "TForm", "name": "Form1", "properties": {...}, "components": [...]},
// with every published property in published order (events excepted, the name given by
// "name"), and the components the component owns in creation order. Texts are converted
// between the host code page and UTF-8.
std::string WriteForm(TComponent& Root);
// Writes the form to Path through a temporary file, so that a failure leaves an existing
// file as it was.
void WriteFormFile(TComponent& Root, const std::filesystem::path& Path);

// Creates the form described by Json: the root from the class the file names (which must
// be registered, as must every component class in the file), its components with their
// owners. Every component is in the loading state while properties are applied; component
// references are resolved by name within the form once all components exist; then Loaded
// is called on every component of the form in creation order. On failure everything
// created is freed.
std::unique_ptr<TComponent> ReadForm(const std::string& Json);
std::unique_ptr<TComponent> ReadFormFile(const std::filesystem::path& Path);
// The same with the new root owned by Owner, which frees it; a control root whose owner is
// a window control is placed in it. The root's name must be free among Owner's components.
TComponent& ReadForm(const std::string& Json, TComponent& Owner);
TComponent& ReadFormFile(const std::filesystem::path& Path, TComponent& Owner);

// Reads Json into the existing Root, whose class the file must name. A component listed
// in the file that Root's tree already holds under its owner with that name and class (one
// the owner created itself) receives the file's properties; the others are created. On
// failure the components created are freed and the published properties of the existing
// components are set back to the values they had, so Root is left as it was.
void ReadFormInto(TComponent& Root, const std::string& Json);
void ReadFormFileInto(TComponent& Root, const std::filesystem::path& Path);

} // namespace vorn
