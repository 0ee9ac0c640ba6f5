#pragma once
#include <string>

// A product code is four decimal digits: the number of one product, then of a second one or
// "00". "" and "0000" hold nothing; anything else that is not four digits is malformed.
bool IsProductCode(const std::string& code);
bool IsEmptyProduct(const std::string& code);
// One product, no second.
bool IsSingleProduct(const std::string& code);

// The other code when one holds nothing; two single products as one code, the smaller number
// first. Anything else cannot be joined: empty, with a warning for a malformed code.
std::string CombineProducts(const std::string& a, const std::string& b);

// Some client waiting in the cafe would take it.
bool IsProductWanted(const std::string& product);

// Two single products join only into a code a waiting client wants; empty otherwise.
std::string JoinForClient(const std::string& held, const std::string& product);
