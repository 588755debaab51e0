#include "DaoMessage.h"

#include "ConnectString.h"
#include "afxdao.h"
#include "tabrik/TextConversion.h"

namespace tabrik::app {

std::string daoMessage(CDaoException* e) {
  std::string message =
      "(" + std::to_string(e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : 0) + ") " +
      (e->m_pErrorInfo ? text::toUtf8(e->m_pErrorInfo->m_strDescription.GetString())
                       : std::string("unknown error"));
  e->Delete();
  return dao::server::maskConnectString(message);
}

}  // namespace tabrik::app
