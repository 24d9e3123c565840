-- The traceability database as a site may have set it up without db/schema.sql: nothing but the columns the
-- program reads and writes. Only device, device_assembly and testpass have a row key (ID); the other tables
-- have none, so no statement may name one. The tests run the store a second time against this schema
-- (scripts/test), to keep the program within these columns.

CREATE TABLE IF NOT EXISTS device (
    ID INT NOT NULL AUTO_INCREMENT,
    ValidFlag INT NULL,
    PRIMARY KEY (ID)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS device_assembly (
    ID INT NOT NULL AUTO_INCREMENT,
    AssemblyNum INT NULL,
    Device_Assembly INT NOT NULL,
    AssemblyType VARCHAR(10) NOT NULL,
    MasterProdOrder INT NULL,
    OKFlag INT NOT NULL DEFAULT 0,
    PRIMARY KEY (ID),
    KEY idx_assembly_member (Device_Assembly, AssemblyType),
    KEY idx_assembly_parent (AssemblyNum, AssemblyType)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS device_productioncode (
    DeviceID INT NOT NULL,
    ProductionCode VARCHAR(64) NOT NULL,
    CreationDate DATETIME(6) NOT NULL DEFAULT CURRENT_TIMESTAMP(6),
    UNIQUE KEY uq_productioncode_device (DeviceID, ProductionCode),
    KEY idx_productioncode_code (ProductionCode, CreationDate),
    KEY idx_productioncode_device (DeviceID, CreationDate)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS device_serialnumber (
    DeviceID INT NOT NULL,
    SerialNumber VARCHAR(64) NOT NULL,
    ExtFlag CHAR(1) NOT NULL DEFAULT '0',
    CreationDate DATETIME(6) NOT NULL DEFAULT CURRENT_TIMESTAMP(6),
    KEY idx_serialnumber_serial (SerialNumber, CreationDate),
    KEY idx_serialnumber_device (DeviceID, ExtFlag, CreationDate)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS device_productionordernumber (
    DeviceID INT NOT NULL,
    ProductionOrderNumber VARCHAR(32) NOT NULL,
    CreationDate DATETIME(6) NOT NULL DEFAULT CURRENT_TIMESTAMP(6),
    UNIQUE KEY uq_productionorder_device (DeviceID, ProductionOrderNumber),
    KEY idx_productionorder_device (DeviceID, CreationDate),
    KEY idx_productionorder_order (ProductionOrderNumber)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS device_productcode (
    DevID INT NOT NULL,
    ProductCode VARCHAR(64) NOT NULL,
    Suffix INT NULL,
    CreationDate DATETIME(6) NOT NULL DEFAULT CURRENT_TIMESTAMP(6),
    KEY idx_productcode_device (DevID, CreationDate),
    KEY idx_productcode_article (ProductCode)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS testpass (
    ID INT NOT NULL AUTO_INCREMENT,
    DeviceID INT NOT NULL,
    CreationDate DATETIME(6) NOT NULL DEFAULT CURRENT_TIMESTAMP(6),
    PRIMARY KEY (ID),
    KEY idx_testpass_device (DeviceID, CreationDate)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS testitem (
    TestPassID INT NOT NULL,
    PassFailFlag INT NULL,
    KEY idx_testitem_pass (TestPassID, PassFailFlag)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS productionorder_khk (
    ProductionOrderNumber VARCHAR(32) NOT NULL,
    ProductCode VARCHAR(64) NOT NULL,
    Name VARCHAR(255) NULL,
    PRIMARY KEY (ProductionOrderNumber),
    KEY idx_productionorder_khk_article (ProductCode)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS productionorder_hierarchy_khk (
    ProductionOrderNumber VARCHAR(32) NOT NULL,
    SubProductCode VARCHAR(64) NOT NULL,
    SubCount DECIMAL(12, 3) NULL,
    SubManufacturer VARCHAR(32) NULL,
    KEY idx_hierarchy_order (ProductionOrderNumber)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS productioncode_count_khk (
    BillOfMaterials VARCHAR(64) NOT NULL,
    Variation INT NOT NULL DEFAULT 0,
    ProductionCodeCount INT NULL,
    SerialNumberCount INT NULL,
    ExtSerialNumberCount INT NULL,
    TestRequired INT NULL,
    KEY idx_count_article (BillOfMaterials, Variation)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS serialnumber_prod_history_khk (
    Serialnumber VARCHAR(64) NOT NULL,
    ProductionOrdernumber VARCHAR(32) NULL,
    Articlenumber_PE VARCHAR(64) NULL,
    Articlenumber_PZ VARCHAR(64) NULL,
    KEY idx_history_serial (Serialnumber, Articlenumber_PE, Articlenumber_PZ)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
