-- The sample standards database: the five standards tables with their indexes and a
-- small office's layer systems, layers, layer keys, text styles and schedule labels.
-- scripts/make-standards-db.lsp runs each statement (one or more lines ending in a
-- semicolon) through tb_command on a new database. Lines starting with "--" are notes.

CREATE TABLE tblLayer (
  ixLayer COUNTER, sName TEXT(255), bRGBColor YESNO, iColor SHORT, iRed SHORT,
  iGreen SHORT, iBlue SHORT, sLinetype TEXT(255), bPlot YESNO, sLineweight TEXT(50),
  sPlotstyle TEXT(255), ixMasterDatabase LONG, iMasterDatabaseIndex LONG);
CREATE INDEX ixLayer ON tblLayer (ixLayer) WITH PRIMARY;
CREATE INDEX sName ON tblLayer (sName);

CREATE TABLE tblLayerSystem (
  ixLayerSystem COUNTER, sDescription TEXT(255), iSortOrder SHORT, bSolid YESNO,
  sPrefix TEXT(50), sSuffix TEXT(50),
  supplyHatchOn YESNO, supplyHatchType TEXT(20), supplyHatchPattern TEXT(50),
  supplyHatchAngle DOUBLE, supplyHatchScale DOUBLE,
  returnHatchOn YESNO, returnHatchType TEXT(20), returnHatchPattern TEXT(50),
  returnHatchAngle DOUBLE, returnHatchScale DOUBLE,
  exhaustHatchOn YESNO, exhaustHatchType TEXT(20), exhaustHatchPattern TEXT(50),
  exhaustHatchAngle DOUBLE, exhaustHatchScale DOUBLE,
  outsideHatchOn YESNO, outsideHatchType TEXT(20), outsideHatchPattern TEXT(50),
  outsideHatchAngle DOUBLE, outsideHatchScale DOUBLE,
  bHatchFlexDucts YESNO, dHatchOverhang DOUBLE, ixMasterDatabase LONG,
  iMasterDatabaseIndex LONG);
CREATE INDEX ixLayerSystem ON tblLayerSystem (ixLayerSystem) WITH PRIMARY;
CREATE INDEX iSortOrder ON tblLayerSystem (iSortOrder);

CREATE TABLE tblLayerKey (
  ixLayerKey COUNTER, ixLayerSystem LONG, ixLayer LONG, sKey TEXT(255),
  ixMasterDatabase LONG, iMasterDatabaseIndex LONG);
CREATE INDEX ixLayerKey ON tblLayerKey (ixLayerKey) WITH PRIMARY;
CREATE INDEX sKey ON tblLayerKey (sKey);
CREATE INDEX isxLayerSystemKey ON tblLayerKey (ixLayerSystem, sKey);

CREATE TABLE tblTextStyle (
  ixTextStyle COUNTER, sKey TEXT(255), sStyleName TEXT(255), dHeight DOUBLE,
  dScaleFactor DOUBLE, ixMasterDatabase LONG, iMasterDatabaseIndex LONG);
CREATE INDEX ixTextStyle ON tblTextStyle (ixTextStyle) WITH PRIMARY;
CREATE INDEX sKey ON tblTextStyle (sKey);

CREATE TABLE tblLabelGroup (
  ixLabelGroup COUNTER, sGroup TEXT(255), sKey TEXT(255), sLabel TEXT(255),
  dWidth DOUBLE, sJustification TEXT(10), bDisplay YESNO, iSortOrder SHORT);
CREATE INDEX ixLabelGroup ON tblLabelGroup (ixLabelGroup) WITH PRIMARY;

-- Layers 1 to 16. Colour 7 is white; lineweights are hundredths of a millimetre.
-- A text field holds no zero-length text: an empty value is stored as one blank.
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight, sPlotstyle)
  VALUES ('M-DUCT-SUPP', False, 4, 'Continuous', True, '35', 'Normal');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight, sPlotstyle)
  VALUES ('M-DUCT-RETN', False, 3, 'HIDDEN', True, '35', 'Normal');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('M-DUCT-EXHS', False, 6, 'CONTINUOUS', True, '25');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('M-DUCT-OUTS', False, 5, 'DASHED', True, '25');
INSERT INTO tblLayer (sName, bRGBColor, iColor, iRed, iGreen, iBlue, sLinetype, bPlot, sLineweight)
  VALUES ('M-EQPM', True, 2, 255, 200, 0, 'Continuous', True, '50');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('M-ANNO-TEXT', False, 7, 'Continuous', True, '18');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot)
  VALUES ('M-ANNO-NPLT', False, 8, 'Continuous', False);
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('P-DOMW-CWTR', False, 140, 'Continuous', True, '30');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('P-DOMW-HWTR', False, 1, 'HIDDEN', True, '30');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('P-SANR-PIPE', False, 32, 'Continuous', True, '40');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('E-POWR-CIRC', False, 1, 'Continuous', True, '25');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('E-LITE-FIXT', False, 2, 'Continuous', True, '35');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('E-CABL-TRAY', False, 30, 'DASHED', True, '50');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('G-ANNO-DIMS', False, 7, 'Continuous', True, ' ');
INSERT INTO tblLayer (sName, bRGBColor, sLinetype, bPlot, sLineweight)
  VALUES ('G-ANNO-LEAD', False, 'Continuous', True, '13');
INSERT INTO tblLayer (sName, bRGBColor, iColor, sLinetype, bPlot, sLineweight)
  VALUES ('X-SPARE', False, 9, 'Continuous', True, '0');

-- Layer systems 1 to 3 (the general system has no row).
INSERT INTO tblLayerSystem (sDescription, iSortOrder, bSolid, sPrefix, sSuffix,
  supplyHatchOn, supplyHatchType, supplyHatchPattern, supplyHatchAngle, supplyHatchScale,
  returnHatchOn, returnHatchType, returnHatchPattern, returnHatchAngle, returnHatchScale,
  exhaustHatchOn, exhaustHatchType, exhaustHatchPattern, exhaustHatchAngle, exhaustHatchScale,
  outsideHatchOn, outsideHatchType, outsideHatchPattern, outsideHatchAngle, outsideHatchScale,
  bHatchFlexDucts, dHatchOverhang)
  VALUES ('Standard', 1, False, 'S-', Null, True, 'Predefined', 'ANSI31', 0.785398162, 1,
  True, 'Predefined', 'ANSI32', 0, 0.5, False, 'Custom', 'EXH', 1.570796325, 2.25,
  False, 'Predefined', Null, 0, 1, True, 0.125);
INSERT INTO tblLayerSystem (sDescription, iSortOrder, bSolid, sPrefix, sSuffix,
  supplyHatchOn, supplyHatchType, supplyHatchPattern, supplyHatchAngle, supplyHatchScale,
  bHatchFlexDucts, dHatchOverhang)
  VALUES ('Renovation', 2, True, Null, '-R', False, 'Predefined', 'ANSI37', 0, 1, False, 0);
INSERT INTO tblLayerSystem (sDescription, iSortOrder, bSolid) VALUES ('Client Legacy', 3, False);

-- Layer keys: the general system's (ixLayerSystem Null), then per system.
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (Null, 6, 'Text');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (Null, 14, 'Dimension');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (Null, 15, 'Leader');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (Null, 7, 'NoPlot');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 1, 'SupplyDuct');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 2, 'ReturnDuct');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 3, 'ExhaustDuct');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 4, 'OutsideDuct');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 5, 'Equipment');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 8, 'ColdWater');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 9, 'HotWater');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 11, 'PowerCircuit');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (1, 13, 'CableTray');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (2, 1, 'SupplyDuct');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (2, 2, 'ReturnDuct');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (2, 10, 'Sanitary');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (3, 3, 'SupplyDuct');
INSERT INTO tblLayerKey (ixLayerSystem, ixLayer, sKey) VALUES (3, 12, 'Lighting');

-- Text styles. Only the key "Default" must carry a style and a height.
INSERT INTO tblTextStyle (sKey, sStyleName, dHeight, dScaleFactor) VALUES ('Default', 'Standard', 0.09375, 1);
INSERT INTO tblTextStyle (sKey, sStyleName, dHeight, dScaleFactor) VALUES ('Title', 'RomanS', 0.25, 0.85);
INSERT INTO tblTextStyle (sKey, sStyleName, dHeight, dScaleFactor) VALUES ('Notes', 'Standard', 0.125, Null);
INSERT INTO tblTextStyle (sKey, sStyleName, dHeight, dScaleFactor) VALUES ('Tags', Null, Null, Null);
INSERT INTO tblTextStyle (sKey, sStyleName, dHeight, dScaleFactor) VALUES ('Schedule', 'Simplex', 0.1, 1.1);

-- Schedule labels: two groups. "Schedule Title" keeps the sort order -1.
INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, dWidth, sJustification, bDisplay, iSortOrder)
  VALUES ('DuctSchedule', 'Schedule Title', 'Duct Schedule', Null, 'Left', True, -1);
INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, dWidth, sJustification, bDisplay, iSortOrder)
  VALUES ('DuctSchedule', 'Tag', 'Tag', 0.75, 'Center', True, 1);
INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, dWidth, sJustification, bDisplay, iSortOrder)
  VALUES ('DuctSchedule', 'Size', 'Size', 1.25, 'Left', True, 2);
INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, dWidth, sJustification, bDisplay, iSortOrder)
  VALUES ('DuctSchedule', 'Flow', 'CFM', 1, 'Right', True, 3);
INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, dWidth, sJustification, bDisplay, iSortOrder)
  VALUES ('DuctSchedule', 'Remarks', 'Remarks', 2.5, 'Left', False, 4);
INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, dWidth, sJustification, bDisplay, iSortOrder)
  VALUES ('PipeSchedule', 'Schedule Title', 'Pipe Schedule', Null, 'Left', True, -1);
INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, dWidth, sJustification, bDisplay, iSortOrder)
  VALUES ('PipeSchedule', 'Tag', 'Mark', 0.5, 'Left', True, 1);
INSERT INTO tblLabelGroup (sGroup, sKey, sLabel, dWidth, sJustification, bDisplay, iSortOrder)
  VALUES ('PipeSchedule', 'Service', 'Service', 1.5, 'Left', True, 2);
