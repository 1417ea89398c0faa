#pragma once

#include "core/Operand.h"
#include "core/VQMenu.h"

#include <memory>

namespace orvenda {

// The menu a Menu( record carries.
class MenuObject : public OperandObject {
public:
    explicit MenuObject(std::shared_ptr<VQMenu> menu) : menu(std::move(menu)) {}
    std::shared_ptr<VQMenu> menu;
};

} // namespace orvenda
