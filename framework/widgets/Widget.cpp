#include "framework/widgets/Widget.h"

namespace Nubra {

Widget::~Widget()
{
    if (parent)
        parent->RemoveWidget(this);
}

} // namespace Nubra
