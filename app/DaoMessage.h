// The text of a DAO error as the host's commands print it: "(number) description",
// with any password a connect string carried masked.
#pragma once
#include <string>

class CDaoException;

namespace tabrik::app {

// Deletes the exception, as MFC's catchers do.
std::string daoMessage(CDaoException* e);

}  // namespace tabrik::app
