#include "jet.h"

// Placeholder until the reader lands: values only.
namespace jet {
Value Value::fromBool(bool b) { Value v; v.kind_ = Kind::Boolean; v.i_ = b ? 1 : 0; return v; }
}  // namespace jet
