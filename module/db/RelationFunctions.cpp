// The tb_ functions of relations: tb_relationExists, tb_relationDelete,
// tb_relationCount and tb_relationInfo, on the current connection's database.
#include <string>

#include <acedads.h>

#include "db/CDBConnection.h"
#include "db/ConnectionCalls.h"
#include "db/ConnectionList.h"
#include "db/DatabaseCall.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"
#include "host/ResultValues.h"

namespace tabrik::arx::fn {
namespace {

// The relation information list: name, primary table, foreign table, attributes,
// then each field pair, primary field first.
void retRelationInfo(const CDaoRelationInfo& info) {
  ListBuilder list;
  list.start();
  list.addPair(L"strName", info.m_strName.GetString());
  list.addPair(L"strTable", info.m_strTable.GetString());
  list.addPair(L"strForeignTable", info.m_strForeignTable.GetString());
  list.addPairLong(L"lAttributes", info.m_lAttributes);
  for (short i = 0; i < info.m_nFields && info.m_pFieldInfos != nullptr; ++i) {
    list.addPair(L"field_strName", info.m_pFieldInfos[i].m_strName.GetString());
    list.addPair(L"field_strForeignName", info.m_pFieldInfos[i].m_strForeignName.GetString());
  }
  list.finish();
}

}  // namespace

int tb_relationExists() { return db::answerNameQuestion(&CDBConnection::RelationExists); }

int tb_relationDelete() { return db::runTwoNameOperation(&CDBConnection::DeleteRelation); }

int tb_relationCount() {
  db::DatabaseCall call;
  short count = 0;
  return call.run([&](CDBConnection& connection) { return connection.GetRelationCount(count); },
                  [&] { retInteger(count); });
}

int tb_relationInfo() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  if (cursor == nullptr) {
    return kWrongType;
  }
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  std::wstring name;
  std::int32_t position = 0;
  CDaoRelationInfo info;
  if (readString(cursor, name)) {
    if (!connection->GetRelationInfo(name.c_str(), info)) {
      return kResultOk;  // no such relation: nil, quietly
    }
  } else if (readInteger(cursor, position)) {
    if (!connection->GetRelationInfo(static_cast<int>(position), info)) {
      return kResultOk;
    }
  }
  // Neither a name nor a position: the list of a relation that has nothing.
  retRelationInfo(info);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
