// Delivery of one finished debug line; one implementation per platform.
#pragma once

#include <string>

namespace tessaly {

void DeliverDebugLine(const std::wstring& line);

}  // namespace tessaly
