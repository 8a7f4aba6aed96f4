#pragma once

#include "errorframe.h"
#include "runtimeerror.h"

#include <QMap>

#include <functional>

namespace runtime {

// Controls of one kind that share a name and are told apart by an index; the Click of an element
// passes its index to the procedure.
template <class Control> class ControlArray
{
public:
    void add(int index, Control *element) { m_elements.insert(index, element); }

    Control *element(int index) const
    {
        Control *control = m_elements.value(index);
        if (!control)
            raiseError(ControlArrayElementMissing);
        return control;
    }

    void onClick(const std::function<void(int)> &procedure) const
    {
        for (auto it = m_elements.cbegin(); it != m_elements.cend(); ++it)
            runtime::onClick(it.value(), [procedure, index = it.key()] { procedure(index); });
    }

private:
    QMap<int, Control *> m_elements;
};

} // namespace runtime
