#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

// The project's one exception for an index outside its array. Every operation checks its
// indexes and throws this before it changes anything; the framework's message dispatch
// reports it and abandons the handler.
class InvalidArgumentException : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

// Throws unless 0 <= nIndex < nCount.
void CheckIndex(int nIndex, std::size_t nCount, const char* pszWhat);
// Throws unless 0 <= nIndex <= nCount (an insertion may append).
void CheckInsertIndex(int nIndex, std::size_t nCount, const char* pszWhat);
