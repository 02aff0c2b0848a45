// The object dialogs the page window opens: one per kind of annotation object, and the object
// manager. They edit a copy of the object and answer how they ended; the caller applies it.
#pragma once

#include "document/model.h"
#include "forms/object_forms.h"

#include <optional>

namespace plox {

class SettingsStore;

class ObjectDialogs {
public:
    virtual ~ObjectDialogs() = default;
    // The dialog of `object`'s kind (text, point object, arrow, rectangle or picture); the
    // paste button is enabled with `allow_paste`. "保存(&V)" writes defaults into `store`.
    virtual forms::ObjectAnswer edit_object(const Graph& graph, GraphObject& object,
                                            bool allow_paste, SettingsStore* store) = 0;
    // "Object manager": the list as OK leaves it, or nothing on Cancel. `double_clicked` is
    // set to the list position of an entry that ended the dialog by a double click.
    virtual std::optional<forms::ObjectList> object_manager(const Graph& graph,
                                                            int& double_clicked) = 0;
};

} // namespace plox
