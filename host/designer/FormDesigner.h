#pragma once

// One form open in the designer: created new or read from its JSON form file, with
// every component in the designing state, edited through property editors and written
// back to its file.

#include "host/designer/PropertyEditor.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

class TFormDesigner {
public:
    // Registers the host classes a form may hold (RegisterDesignerHostClasses).
    TFormDesigner();
    ~TFormDesigner();
    TFormDesigner(const TFormDesigner&) = delete;
    TFormDesigner& operator=(const TFormDesigner&) = delete;

    // Replaces the open form by a new, empty one of the registered class ClassName.
    TComponent& NewForm(const std::string& Name, const std::string& ClassName = "TForm");
    // Replaces the open form by the one in the file; on failure the open form stays.
    TComponent& OpenForm(const std::filesystem::path& FileName);
    // Writes the open form through a temporary file, so that a failure leaves the file as it was.
    void SaveForm(const std::filesystem::path& FileName) const;
    void CloseForm();

    bool HasForm() const { return FForm != nullptr; }
    // Raises EComponentError when no form is open.
    TComponent& Form() const;

    // Creates a component of the registered class ClassName on the form, named Name or,
    // when Name is empty, after its class ("DBGrid1"). Raises, adding nothing, for an
    // unknown class, one that is not a creatable component, or a name that is not free.
    TComponent& AddComponent(const std::string& ClassName, const std::string& Name = "");
    // The form itself or a component anywhere on it, by name; raises EComponentError.
    TComponent& FindFormComponent(const std::string& Name) const;

    // An editor of the property on the named components (one or several).
    std::unique_ptr<TPropertyEditor> EditProperty(const std::vector<std::string>& ComponentNames,
                                                  const std::string& PropertyName) const;
    // Sets the property of every named component to Value through its editor.
    void SetProperty(const std::vector<std::string>& ComponentNames,
                     const std::string& PropertyName, const std::string& Value) const;

private:
    std::string FreeName(const std::string& ClassName) const;

    // Owns the open form and puts everything created under it in the designing state.
    std::unique_ptr<TComponent> FDesignRoot;
    TComponent* FForm = nullptr;
};

} // namespace vorn
