// The database function table: the tb_ functions in registration order (function
// codes 0 to 62). Each handler makes the active drawing's connection current first.
#include "host/LispFunctionTable.h"
#include "host/LispFunctions.h"

namespace tabrik::arx {
namespace {

constexpr LispFunctionEntry kDatabaseFunctions[] = {
    {ACRX_T("tb_append"), &databaseHandler<&fn::tb_append>},
    {ACRX_T("tb_append_withindex"), &databaseHandler<&fn::tb_append_withindex>},
    {ACRX_T("tb_closeall_tables"), &databaseHandler<&fn::tb_closeall_tables>},
    {ACRX_T("tb_close_table"), &databaseHandler<&fn::tb_close_table>},
    {ACRX_T("tb_bottom"), &databaseHandler<&fn::tb_bottom>},
    {ACRX_T("tb_count"), &databaseHandler<&fn::tb_count>},
    {ACRX_T("tb_delete"), &databaseHandler<&fn::tb_delete>},
    {ACRX_T("tb_getrec"), &databaseHandler<&fn::tb_getrec>},
    {ACRX_T("tb_structure"), &databaseHandler<&fn::tb_structure>},
    {ACRX_T("tb_list_indexes"), &databaseHandler<&fn::tb_list_indexes>},
    {ACRX_T("tb_modify_table"), &databaseHandler<&fn::tb_modify_table>},
    {ACRX_T("tb_replace"), &databaseHandler<&fn::tb_replace>},
    {ACRX_T("tb_seek"), &databaseHandler<&fn::tb_seek>},
    {ACRX_T("tb_skip"), &databaseHandler<&fn::tb_skip>},
    {ACRX_T("tb_top"), &databaseHandler<&fn::tb_top>},
    {ACRX_T("tb_table"), &databaseHandler<&fn::tb_table>},
    {ACRX_T("tb_rename_table"), &databaseHandler<&fn::tb_rename_table>},
    {ACRX_T("tb_connect"), &databaseHandler<&fn::tb_connect>},
    {ACRX_T("tb_mdb"), &databaseHandler<&fn::tb_mdb>},
    {ACRX_T("tb_create_db"), &databaseHandler<&fn::tb_create_db>},
    {ACRX_T("tb_create_table"), &databaseHandler<&fn::tb_create_table>},
    {ACRX_T("tb_close_db"), &databaseHandler<&fn::tb_close_db>},
    {ACRX_T("tb_beep"), &databaseHandler<&fn::tb_beep>},
    {ACRX_T("tb_random"), &databaseHandler<&fn::tb_random>},
    {ACRX_T("tb_message_beep"), &databaseHandler<&fn::tb_message_beep>},
    {ACRX_T("tb_exist"), &databaseHandler<&fn::tb_exist>},
    {ACRX_T("tb_readonly"), &databaseHandler<&fn::tb_readonly>},
    {ACRX_T("tb_delete_table"), &databaseHandler<&fn::tb_delete_table>},
    {ACRX_T("tb_list_tables"), &databaseHandler<&fn::tb_list_tables>},
    {ACRX_T("tb_current_table"), &databaseHandler<&fn::tb_current_table>},
    {ACRX_T("tb_current_index"), &databaseHandler<&fn::tb_current_index>},
    {ACRX_T("tb_sql"), &databaseHandler<&fn::tb_sql>},
    {ACRX_T("tb_sql-nil"), &databaseHandler<&fn::tb_sql_nil>},
    {ACRX_T("tb_sql-error"), &databaseHandler<&fn::tb_sql_error>},
    {ACRX_T("tb_command"), &databaseHandler<&fn::tb_command>},
    {ACRX_T("tb_compact"), &databaseHandler<&fn::tb_compact>},
    {ACRX_T("tb_link_table"), &databaseHandler<&fn::tb_link_table>},
    {ACRX_T("tb_query"), &databaseHandler<&fn::tb_query>},
    {ACRX_T("tb_message_box"), &databaseHandler<&fn::tb_message_box>},
    {ACRX_T("tb_create_index"), &databaseHandler<&fn::tb_create_index>},
    {ACRX_T("tb_create_query"), &databaseHandler<&fn::tb_create_query>},
    {ACRX_T("tb_xdput-list"), &databaseHandler<&fn::tb_xdput_list>},
    {ACRX_T("tb_xdget"), &databaseHandler<&fn::tb_xdget>},
    {ACRX_T("tb_xdget-list"), &databaseHandler<&fn::tb_xdget_list>},
    {ACRX_T("tb_xdget-all"), &databaseHandler<&fn::tb_xdget_all>},
    {ACRX_T("tb_mkdir"), &databaseHandler<&fn::tb_mkdir>},
    {ACRX_T("tb_relationExists"), &databaseHandler<&fn::tb_relationExists>},
    {ACRX_T("tb_relationDelete"), &databaseHandler<&fn::tb_relationDelete>},
    {ACRX_T("tb_lastError"), &databaseHandler<&fn::tb_lastError>},
    {ACRX_T("tb_resetLastError"), &databaseHandler<&fn::tb_resetLastError>},
    {ACRX_T("tb_field_required"), &databaseHandler<&fn::tb_field_required>},
    {ACRX_T("tb_attributes"), &databaseHandler<&fn::tb_attributes>},
    {ACRX_T("tb_getVersion"), &databaseHandler<&fn::tb_getVersion>},
    {ACRX_T("tb_rmdir"), &databaseHandler<&fn::tb_rmdir>},
    {ACRX_T("tb_fmove"), &databaseHandler<&fn::tb_fmove>},
    {ACRX_T("tb_fcopy"), &databaseHandler<&fn::tb_fcopy>},
    {ACRX_T("tb_fcopyIfChanged"), &databaseHandler<&fn::tb_fcopyIfChanged>},
    {ACRX_T("tb_fdir"), &databaseHandler<&fn::tb_fdir>},
    {ACRX_T("tb_fdelete"), &databaseHandler<&fn::tb_fdelete>},
    {ACRX_T("tb_indexUnique"), &databaseHandler<&fn::tb_indexUnique>},
    {ACRX_T("tb_indexFields"), &databaseHandler<&fn::tb_indexFields>},
    {ACRX_T("tb_relationCount"), &databaseHandler<&fn::tb_relationCount>},
    {ACRX_T("tb_relationInfo"), &databaseHandler<&fn::tb_relationInfo>},
};

static_assert(std::size(kDatabaseFunctions) == 63);

}  // namespace

std::span<const LispFunctionEntry> databaseFunctionTable() { return kDatabaseFunctions; }

namespace db {

int databaseFunctionCount() { return static_cast<int>(std::size(kDatabaseFunctions)); }

}  // namespace db
}  // namespace tabrik::arx
