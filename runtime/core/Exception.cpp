#include "Exception.h"

EAssertionFailed::EAssertionFailed(const std::string& message, std::string unitName)
    : Exception(message + " (" + unitName + ")"), FAssertMessage(message),
      FUnitName(std::move(unitName)) {}

EStringListError::EStringListError(int index)
    : Exception("List index out of bounds (" + std::to_string(index) + ")"), FIndex(index) {}

void Assert(bool condition, const std::string& message, const std::string& unitName) {
    if (!condition)
        throw EAssertionFailed(message, unitName);
}
