-- Demo content of the traceability database: the product family SG-5000 (Steuergeräte) with its
-- ERP copies, test-station results and a few devices that were recorded before.
-- Loaded into an empty database after db/schema.sql or db/site-schema.sql, so rows name an ID only in the
-- tables that have one in both. Every statement ends with ";" at the end of a line; comments stand on lines
-- of their own. demo/README.md explains what to scan.

-- ERP production orders. The article of an order is its ProductCode without the last two characters.
INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) VALUES
('240101', 'SG-5000-A01', 'Steuergerät SG-5000 Grundausführung'),
('240102', 'BG-5600-B01', 'Bedieneinheit BG-5600 mit Farbdisplay'),
('240103', 'SG-5000-C01', 'Steuergerät SG-5000 Kompaktausführung'),
('240104', 'NT-5200-A01', 'Umrüstung Netzteil NT-5100 auf NT-5200'),
('240109', 'ZB-9000-A01', 'Zubehörbeutel SG-5000 (Klemmen, Kabelbinder)');

-- ERP bills of materials. SubManufacturer 99999 marks a sub-article produced under an order of our own.
-- GS-5500-A (all counts 0) and WP-5510-A (no count row at all) have nothing to capture.
INSERT INTO productionorder_hierarchy_khk (ProductionOrderNumber, SubProductCode, SubCount, SubManufacturer) VALUES
('240101', 'LP-5100-A', 1, '70114'),
('240101', 'RM-5120-A', 3, '70230'),
('240101', 'NT-5200-A', 1, '70310'),
('240101', 'FM-5300-A', 1, '70455'),
('240101', 'AM-5400-A', 1, '70114'),
('240101', 'GS-5500-A', 1, '70020'),
('240101', 'WP-5510-A', 2, '70020'),
('240101', 'BG-5600-B', 1, '99999'),
('240102', 'TP-5610-A', 1, '70114'),
('240102', 'DP-5620-A', 1, '70512'),
('240102', 'GS-5500-A', 4, '70020'),
('240103', 'LP-5100-A', 1, '70114'),
('240103', 'RM-5120-A', 2, '70230'),
('240103', 'NT-5200-A', 1, '70310'),
('240103', 'GS-5500-A', 1, '70020');

-- What one unit of an article carries. NT-5200-A has two variants: production codes and external
-- serials come from the lowest Variation (1 and 0), serials and the test flag from the highest (1, no test).
INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, ProductionCodeCount, SerialNumberCount, ExtSerialNumberCount, TestRequired) VALUES
('SG-5000-A', 0, 1, 1, 0, 0),
('SG-5000-C', 0, 1, 1, 0, 0),
('LP-5100-A', 0, 2, 0, 0, 0),
('RM-5120-A', 0, 1, 0, 0, 0),
('NT-5200-A', 2, 2, 1, 1, 0),
('NT-5200-A', 1, 1, 0, 0, -1),
('FM-5300-A', 0, 0, 0, 1, 0),
('AM-5400-A', 0, 1, 0, 0, -1),
('GS-5500-A', 0, 0, 0, 0, 0),
('BG-5600-B', 0, 1, 1, 0, 0),
('TP-5610-A', 0, 1, 0, 0, 0),
('DP-5620-A', 0, 1, 0, 1, 0),
('NT-5100-A', 0, 1, 1, 0, 0);

-- ERP history of serial numbers that changed their article: the power supply S0A1B2C3D was converted
-- from NT-5000-A to NT-5100-A long ago and is due to become an NT-5200-A under order 240104.
INSERT INTO serialnumber_prod_history_khk (Serialnumber, ProductionOrdernumber, Articlenumber_PE, Articlenumber_PZ) VALUES
('S0A1B2C3D', '000240090', 'NT-5000-A', 'NT-5100-A'),
('S0A1B2C3D', '000240104', 'NT-5100-A', 'NT-5200-A'),
('S0A1B2C4E', '000240104', 'NT-5100-A', 'NT-5200-A');

-- Test-station runs. 9001: failed, then passed (tested). 9002: passed, then failed (untested; this
-- station's run IDs are not in time order). 9003: one aborted run without items (untested). 9037: passed.
INSERT INTO testpass (ID, DeviceID, CreationDate) VALUES
(9101, 9001, '2024-09-30 14:10:00'),
(9102, 9001, '2024-10-01 09:05:00'),
(9103, 9002, '2024-10-01 09:15:00'),
(9104, 9002, '2024-09-30 14:20:00'),
(9105, 9037, '2024-09-27 11:40:00'),
(9106, 9003, '2024-10-01 09:25:00');

INSERT INTO testitem (TestPassID, PassFailFlag) VALUES
(9101, -1),
(9101, 0),
(9102, -1),
(9102, -1),
(9103, -1),
(9103, 0),
(9104, -1),
(9104, -1),
(9105, -1),
(9105, -1);

-- Devices recorded before (IDs 9001 and up, far from the numbers the database assigns to new ones):
-- free display modules 9001-9003 and power supplies 9010-9011, the pre-assembled operating unit 9020
-- (with 9021, 9022) and the finished control unit 9030 (with 9031-9040).
INSERT INTO device (ID, ValidFlag) VALUES
(9001, 1), (9002, 1), (9003, 1), (9010, 1), (9011, 1), (9020, 1), (9021, 1), (9022, 1), (9030, 1),
(9031, 1), (9032, 1), (9033, 1), (9034, 1), (9035, 1), (9036, 1), (9037, 1), (9038, 1), (9039, 1), (9040, 1);

-- A control unit returned from the field (8950, built under the old order 240090) with its old power supply
-- 8951, which the ERP history converts into an NT-5200-A under 240104: the device to rework by drag and drop.
-- Numbers below 9001, so the database still assigns 9041 and up to new devices.
INSERT INTO device (ID, ValidFlag) VALUES (8950, 1), (8951, 1);
INSERT INTO device_productcode (DevID, ProductCode, Suffix, CreationDate) VALUES
(8950, 'SG-5000-A', NULL, '2023-03-14 09:00:00'),
(8951, 'NT-5100-A', NULL, '2023-03-14 09:02:00');
INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) VALUES
(8950, 'P24100050', '2023-03-14 09:00:00'),
(8951, 'P24100051', '2023-03-14 09:02:00');
INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) VALUES
(8950, '230050', '0', '2023-03-14 09:05:00'),
(8951, 'S0A1B2C4E', '0', '2023-03-14 09:02:30');
INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber, CreationDate) VALUES
(8950, '240090', '2023-03-14 09:00:00');
INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder, OKFlag) VALUES
(8960, 8960, 8950, 'A', 240090, 0),
(8961, 8961, 8951, 'A', 240090, 1),
(8962, 8960, 8961, 'Z', NULL, 0);

-- Article of each device; Suffix is the piece number of the slot it was scanned into.
INSERT INTO device_productcode (DevID, ProductCode, Suffix, CreationDate) VALUES
(9001, 'AM-5400-A', NULL, '2024-09-26 08:00:00'),
(9002, 'AM-5400-A', NULL, '2024-09-26 08:01:00'),
(9003, 'AM-5400-A', NULL, '2024-09-26 08:02:00'),
(9010, 'NT-5100-A', NULL, '2024-09-23 10:00:00'),
(9011, 'NT-5100-A', NULL, '2024-09-23 10:05:00'),
(9020, 'BG-5600-B', NULL, '2024-10-02 07:30:00'),
(9021, 'TP-5610-A', 2, '2024-10-02 07:30:10'),
(9022, 'DP-5620-A', 2, '2024-10-02 07:31:00'),
(9037, 'AM-5400-A', NULL, '2024-09-26 08:03:00'),
(9038, 'BG-5600-B', NULL, '2024-10-01 13:00:00'),
(9039, 'TP-5610-A', 2, '2024-10-01 13:00:10'),
(9040, 'DP-5620-A', 2, '2024-10-01 13:01:00'),
(9030, 'SG-5000-A', NULL, '2024-10-07 08:15:00'),
(9031, 'LP-5100-A', 2, '2024-10-07 08:15:00'),
(9032, 'RM-5120-A', 1, '2024-10-07 08:16:00'),
(9033, 'RM-5120-A', 2, '2024-10-07 08:16:30'),
(9034, 'RM-5120-A', 3, '2024-10-07 08:17:00'),
(9035, 'NT-5200-A', NULL, '2024-10-07 08:18:00'),
(9036, 'FM-5300-A', 2, '2024-10-07 08:19:00');

INSERT INTO device_productioncode (DeviceID, ProductionCode, CreationDate) VALUES
(9001, 'P24100001', '2024-09-26 08:00:00'),
(9002, 'P24100002', '2024-09-26 08:01:00'),
(9003, 'P24100003', '2024-09-26 08:02:00'),
(9010, 'P24100010', '2024-09-23 10:00:00'),
(9011, 'P24100011', '2024-09-23 10:05:00'),
(9020, 'P24100020', '2024-10-02 07:30:00'),
(9021, 'P24100021', '2024-10-02 07:30:10'),
(9022, 'P24100022', '2024-10-02 07:31:00'),
(9037, 'P24100037', '2024-09-26 08:03:00'),
(9038, 'P24100038', '2024-10-01 13:00:00'),
(9039, 'P24100039', '2024-10-01 13:00:10'),
(9040, 'P24100040', '2024-10-01 13:01:00'),
(9031, 'P24100031', '2024-10-07 08:15:00'),
(9030, 'P24100030', '2024-10-07 08:15:00'),
(9031, 'P24100032', '2024-10-07 08:15:20'),
(9032, 'P24100033', '2024-10-07 08:16:00'),
(9033, 'P24100034', '2024-10-07 08:16:30'),
(9034, 'P24100035', '2024-10-07 08:17:00'),
(9035, 'P24100036', '2024-10-07 08:18:00');

-- Own serial numbers (ExtFlag '0') and the suppliers' serial numbers (ExtFlag '1').
INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) VALUES
(9010, 'S0A1B2C3D', '0', '2024-09-23 10:00:30'),
(9020, '310020', '0', '2024-10-02 07:32:00'),
(9022, 'DP77-310042', '1', '2024-10-02 07:31:20'),
(9038, '310038', '0', '2024-10-01 13:02:00'),
(9040, 'DP77-310057', '1', '2024-10-01 13:01:20'),
(9035, 'S4E5F6A7B', '0', '2024-10-07 08:18:20'),
(9036, 'FM24-00731', '1', '2024-10-07 08:19:00'),
(9030, '240001', '0', '2024-10-07 08:25:00');

-- The production order under which each final product was built.
INSERT INTO device_productionordernumber (DeviceID, ProductionOrderNumber, CreationDate) VALUES
(9038, '240102', '2024-10-01 13:00:00'),
(9020, '240102', '2024-10-02 07:30:00'),
(9030, '240101', '2024-10-07 08:15:00');

-- Assembly numbers (rows 'A', 9501 and up, deliberately unlike the device IDs) and memberships ('Z'):
-- 9020 (9501) holds 9021 and 9022; 9030 (9504) holds 9031-9038, and 9038 (9512) holds 9039 and 9040.
INSERT INTO device_assembly (ID, AssemblyNum, Device_Assembly, AssemblyType, MasterProdOrder, OKFlag) VALUES
(9501, 9501, 9020, 'A', 240102, 1),
(9502, 9502, 9021, 'A', 240102, 1),
(9503, 9503, 9022, 'A', 240102, 1),
(9504, 9504, 9030, 'A', 240101, 1),
(9505, 9505, 9031, 'A', 240101, 1),
(9506, 9506, 9032, 'A', 240101, 1),
(9507, 9507, 9033, 'A', 240101, 1),
(9508, 9508, 9034, 'A', 240101, 1),
(9509, 9509, 9035, 'A', 240101, 1),
(9510, 9510, 9036, 'A', 240101, 1),
(9511, 9511, 9037, 'A', 240101, 1),
(9512, 9512, 9038, 'A', 240102, 1),
(9513, 9513, 9039, 'A', 240102, 1),
(9514, 9514, 9040, 'A', 240102, 1),
(9601, 9501, 9502, 'Z', NULL, 0),
(9602, 9501, 9503, 'Z', NULL, 0),
(9603, 9512, 9513, 'Z', NULL, 0),
(9604, 9512, 9514, 'Z', NULL, 0),
(9605, 9504, 9505, 'Z', NULL, 0),
(9606, 9504, 9506, 'Z', NULL, 0),
(9607, 9504, 9507, 'Z', NULL, 0),
(9608, 9504, 9508, 'Z', NULL, 0),
(9609, 9504, 9509, 'Z', NULL, 0),
(9610, 9504, 9510, 'Z', NULL, 0),
(9611, 9504, 9511, 'Z', NULL, 0),
(9612, 9504, 9512, 'Z', NULL, 0);
