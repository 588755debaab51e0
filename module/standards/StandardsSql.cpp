#include "standards/StandardsSql.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace tabrik::arx::standards::sql {
namespace {

CString number(long value) {
  CString text;
  text.Format(L"%ld", value);
  return text;
}

}  // namespace

CString quote(const CString& text) {
  if (text.IsEmpty()) return CString(L"' '");
  CString doubled(text);
  doubled.Replace(L"'", L"''");
  return L"'" + doubled + L"'";
}

CString formatNumber(double value, int decimals) {
  if (!std::isfinite(value)) value = 0;
  if (decimals < 0) decimals = 0;
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text(buffer);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return CString(std::wstring(text.begin(), text.end()).c_str());
}

CString layerKeysOfSystem(long system) {
  return L"select ixLayerKey, ixLayer, sKey from tblLayerKey where ixLayerSystem = " +
         number(system) + L" order by sKey";
}

CString layerKeysOfGeneralSystem() {
  return L"select ixLayerKey, ixLayer, sKey from tblLayerKey where ixLayerSystem is Null order by "
         L"sKey";
}

CString keysReferencingLayer(long layer) {
  return L"select ixLayerKey from tblLayerKey where ixLayer = " + number(layer);
}

CString copySystemKeys(long target, long source) {
  return CString(L"insert into tblLayerKey(ixLayerSystem, ixLayer, sKey) ") + L"select " +
         number(target) + L", ixLayer, sKey " + L"from tblLayerKey " + L"where ixLayerSystem = " +
         number(source);
}

CString deleteSystemKeys(long system) {
  return L"delete from tblLayerKey where ixLayerSystem = " + number(system);
}

CString deleteSystem(long system) {
  return L"delete from tblLayerSystem where ixLayerSystem = " + number(system);
}

CString deleteUnusedLayers() {
  return L"delete from tblLayer where ixLayer not in (select ixLayer from tblLayerKey)";
}

CString labelGroupRows(const CString& group) {
  return L"select ixLabelGroup, sKey, sLabel, dWidth, sJustification, bDisplay from tblLabelGroup "
         L"where sGroup = " +
         quote(group) + L" order by iSortOrder";
}

CString updateLabelGroupHead() { return L"update tblLabelGroup set"; }

CString whereLabelGroup(long id) { return L" where ixLabelGroup = " + number(id); }

CString updateTextStyleHead() { return L"update tblTextStyle set"; }

CString whereTextStyle(long id) { return L" where ixTextStyle = " + number(id); }

}  // namespace tabrik::arx::standards::sql
