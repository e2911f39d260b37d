#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace corvane {

// The elements of one kind of control on the panel window. Element 0 is a hidden template
// that new elements start from; the first control built of a kind gets index 1, the next 2.
template <typename Widget> class ControlArray {
public:
    void setTemplate(Widget* element) {
        m_elements.clear();
        m_elements.append(element);
    }
    Widget* templateElement() const { return at(0); }

    // Number of elements, the template included: the index the next element gets.
    int count() const { return static_cast<int>(m_elements.size()); }

    // The element under the index, or nullptr when the array holds none there.
    Widget* at(int index) const {
        return (index >= 0 && index < m_elements.size()) ? m_elements[index].data() : nullptr;
    }

    // Adds a loaded element under the next index and returns that index.
    int load(Widget* element) {
        m_elements.append(element);
        return count() - 1;
    }

    // The index of an element, or -1.
    int indexOf(const QWidget* element) const {
        for (int i = 0; i < count(); ++i) {
            if (m_elements[i] == element) {
                return i;
            }
        }
        return -1;
    }

private:
    QList<QPointer<Widget>> m_elements;
};

} // namespace corvane
