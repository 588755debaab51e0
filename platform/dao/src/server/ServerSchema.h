// Schema changes that a server database carries out in its own language: the
// PL/pgSQL functions and triggers that enforce relations, and the make-table query's
// statement. Everything else about a schema change (the catalog rows, the checks and
// their DAO errors) is shared with a file and stays with the table definitions,
// relations and Jet's DDL.
//
// Relations on a server. Each enforced relation has up to three trigger functions,
// named "MSysRel_<relation>_<hash>_<kind>" (the name cut to fit the server's 63-byte
// identifiers, the hash of the whole upper-cased name keeping them apart), each serving
// the one trigger of the same name:
//
//   ins  BEFORE INSERT OR UPDATE OF the foreign fields, on the foreign table, when no
//        foreign field is Null: the primary record must be there ("DAO 3201 <primary
//        table>"); it is locked FOR KEY SHARE, so that another session cannot delete it
//        or change its key until this transaction ends;
//   del  on the primary table: BEFORE DELETE refused while related records exist
//        ("DAO 3200 <foreign table>"), or AFTER DELETE deleting them (cascade);
//   key  on the primary table, when a primary field changes: BEFORE UPDATE refused
//        while related records exist, or AFTER UPDATE carrying the new key into them
//        (cascade).
//
// A function is dropped with CASCADE, which takes its trigger along wherever the
// table went meanwhile (a rename keeps triggers on the table).
#pragma once
#include <string>

#include "../Relations.h"

class CDaoDatabase;

namespace tabrik::dao::server {

// Inside a write transaction: (re)makes the triggers of an enforced relation, or drops
// those of any relation (nothing to drop is no error).
void makeRelationTriggers(DAODatabase& d, const RelationDef& r);
void dropRelationTriggers(DAODatabase& d, const RelationDef& r);

// The function (and trigger) that keeps a table's n-th auto-number field:
// "MSysAutoNumber_<table>_<hash>_<n>", cut to leave room for the insert trigger's
// "_ins" within the server's identifier length.
std::wstring counterFunctionName(const std::wstring& table, int n);

// Inside a write transaction: drops the auto-number triggers of a table and the
// functions behind them, before the table is dropped or its triggers are made again.
void dropCounterTriggers(DAODatabase& d, const std::wstring& table);

// A server's index name for a table's index: "<table>_<index>", cut to the server's
// identifier length, with a number after it when that is taken in the schema.
std::string freeIndexName(DAODatabase& d, const std::wstring& table, const std::wstring& index);

}  // namespace tabrik::dao::server
