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

class TWinControl;

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
    // when Name is empty, after its class ("DBGrid1"). A control is placed on the windowed
    // control named ParentName or, when ParentName is empty, on the form itself (when the
    // form is a windowed control). Raises, adding nothing, for an unknown class, one that is
    // not a creatable component, a name that is not free or a parent that cannot hold it.
    TComponent& AddComponent(const std::string& ClassName, const std::string& Name = "",
                             const std::string& ParentName = "");
    // The form itself or a component anywhere on it, by name; raises EComponentError.
    TComponent& FindFormComponent(const std::string& Name) const;

    // An editor of the property on the named components (one or several).
    std::unique_ptr<TPropertyEditor> EditProperty(const std::vector<std::string>& ComponentNames,
                                                  const std::string& PropertyName) const;
    // Sets the property of every named component to Value through its editor. The
    // property Parent, which form files keep beside the published properties, is set
    // through SetParent.
    void SetProperty(const std::vector<std::string>& ComponentNames,
                     const std::string& PropertyName, const std::string& Value) const;
    // Places every named control on the windowed control named ParentName (the form or a
    // control on it). Raises, changing nothing, when one of them is no control or the
    // parent is no windowed control of the form, or lies inside the control it would hold.
    void SetParent(const std::vector<std::string>& ComponentNames,
                   const std::string& ParentName) const;

    // The name of Component's parent, or the empty text for none or for no control.
    static std::string ParentName(const TComponent& Component);

private:
    std::string FreeName(const std::string& ClassName) const;
    TWinControl& ParentControl(const std::string& ParentName) const;

    // Owns the open form and puts everything created under it in the designing state.
    std::unique_ptr<TComponent> FDesignRoot;
    TComponent* FForm = nullptr;
};

} // namespace vorn
