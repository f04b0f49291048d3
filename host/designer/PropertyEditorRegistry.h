#pragma once

#include "host/designer/PropertyEditor.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn {

// Makes EditorClass the editor of properties of type PropertyType (or, for a component or
// object type, of a descendant class) on ComponentClass and its descendants (every class
// when null) named PropertyName (every name when empty, compared with letter case
// ignored). Of the registrations that apply to a property, the one naming the property
// wins over one that does not, then one naming a component class over one that does not,
// then the one naming the deeper class, then the later one. The registration belongs to
// the module that is registering (CurrentRegistrationModule). Raises EPropertyError for a
// null editor class.
void RegisterPropertyEditor(const TTypeInfo& PropertyType, const TClass* ComponentClass,
                            const std::string& PropertyName, TPropertyEditorClass EditorClass);
// Drops every registration that Module made.
void UnregisterModulePropertyEditors(const std::string& Module);
// How many registrations there are (the built-in defaults are none).
int PropertyEditorRegistrationCount();

// The editor class for Property on an instance of ComponentClass: the winning
// registration, else the default for the property (DefaultPropertyEditorClass).
TPropertyEditorClass EditorClassFor(const TPropertyInfo& Property, const TClass& ComponentClass);

// An initialised editor of the property named PropertyName of every component of
// Selection. Raises EPropertyError when the selection is empty, when a component has no
// published property of that name, when the components' properties differ in type or
// editor, or when several components are selected and the editor cannot edit them at once.
std::unique_ptr<TPropertyEditor> CreatePropertyEditor(const std::vector<TComponent*>& Selection,
                                                      const std::string& PropertyName,
                                                      TComponent* Root);

// Initialised editors of the published properties that every component of Selection has,
// in the first component's published order; with several components selected, only those
// whose editors can edit them at once.
std::vector<std::unique_ptr<TPropertyEditor>>
GetComponentProperties(const std::vector<TComponent*>& Selection, TComponent* Root);

} // namespace vorn
