// entityList: the drawable a multi jig shows, a list of entities drawn in order. It is
// never added to a drawing. It does not own its entities: the jig that set the list
// deletes them (or hands them to a drawing) when it goes.
#pragma once
#include <vector>

#include <dbmain.h>

namespace tabrik::arx::draw {

class entityList : public AcDbEntity {
 public:
  entityList() = default;

  void setList(std::vector<AcDbEntity*> entities);
  const std::vector<AcDbEntity*>& list() const { return m_entities; }
  // False until setList ran, whatever the list holds.
  bool isListSet() const { return m_listSet; }
  // What a multi jig's entity() returns: this list, after telling the user (one
  // message for all three jigs) when the jig never set it.
  entityList* shownByJig() const;
  // Deletes the entities of the list that are in no drawing and empties it.
  void deleteEntities();

 protected:
  // A block reference through the block preview drawing, any other entity as a nested
  // drawable.
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;

 private:
  std::vector<AcDbEntity*> m_entities;
  bool m_listSet = false;
};

}  // namespace tabrik::arx::draw
