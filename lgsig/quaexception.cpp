#include "quaexception.h"

namespace Quarnet {

// Out-of-line destructors give each class one home for its type information
// (in lgsig2), so a host that catches them by type sees the same types.
QuaException::QuaException(const std::string& message) : std::runtime_error(message), message_(message) {}
QuaException::~QuaException() = default;
QuaEIOError::~QuaEIOError() = default;
QuaEOutOfRange::~QuaEOutOfRange() = default;
QuaEWrongOperation::~QuaEWrongOperation() = default;

}  // namespace Quarnet
