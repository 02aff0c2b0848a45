// The object dialogs on Qt: thin views over the forms of src/forms.
#pragma once

#include "dialogs/object_dialogs.h"

#include <QPointer>
#include <QWidget>

namespace plox {

class QtObjectDialogs : public ObjectDialogs {
public:
    explicit QtObjectDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    forms::ObjectAnswer edit_object(const Graph& graph, GraphObject& object, bool allow_paste,
                                    SettingsStore* store) override;
    std::optional<forms::ObjectList> object_manager(const Graph& graph,
                                                    int& double_clicked) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace plox
