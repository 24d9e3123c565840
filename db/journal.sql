-- The journal of the program's own: one row per operation a workstation kept (a scan, a drop's move or
-- conversion, a removal, a record editor's correction), written inside that operation's transaction, so a row
-- is here exactly when the operation is. Its identity is made on the workstation before the operation's first
-- statement: after a connection lost around the commit the program looks it up to learn whether the operation was
-- kept. The program creates both tables on its first connection where its account may; elsewhere an
-- administrator creates them from this file. Other tools read it (who built what, when, where):
--   OperationID            the identity (a UUID in its 36-character text form)
--   CreatedAt              the server's time of the write (inside the transaction, shortly before its commit)
--   Workstation            the host name of the workstation
--   OsUser                 the operating-system user the program ran as
--   ProductionOrderNumber  the order the workstation had open (empty for a correction made without one)
--   Operation              scan, move, conversion, removal, correction
--   Detail                 what was scanned or changed, as the worker gave it (at most 255 characters)
-- velkor_journal_device names every device the operation wrote (a device's history: WHERE DeviceID = ?).
CREATE TABLE IF NOT EXISTS velkor_journal (
    OperationID CHAR(36) CHARACTER SET ascii NOT NULL,
    CreatedAt DATETIME(6) NOT NULL DEFAULT CURRENT_TIMESTAMP(6),
    Workstation VARCHAR(64) NOT NULL,
    OsUser VARCHAR(64) NOT NULL,
    ProductionOrderNumber VARCHAR(32) NULL,
    Operation VARCHAR(16) CHARACTER SET ascii NOT NULL,
    Detail VARCHAR(255) NULL,
    PRIMARY KEY (OperationID),
    KEY idx_journal_created (CreatedAt)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
CREATE TABLE IF NOT EXISTS velkor_journal_device (
    DeviceID INT NOT NULL,
    OperationID CHAR(36) CHARACTER SET ascii NOT NULL,
    PRIMARY KEY (DeviceID, OperationID)
) ENGINE=InnoDB;
