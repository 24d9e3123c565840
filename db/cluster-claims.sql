-- The one table a Galera cluster needs beside the site's tables (db/site-schema.sql): claims of the values a
-- workstation is about to record (production codes, own and external serial numbers). A scan writes the claim
-- row of its value and removes it again in its own transaction, so the table stays empty; the cluster's
-- certification sees both scans write the same key and refuses the later commit (1213), which the program runs
-- again. The program creates the table on its first connection to a cluster where its account may; elsewhere
-- an administrator creates it from this file.
CREATE TABLE IF NOT EXISTS velkor_claim (
    ClaimKey VARCHAR(64) CHARACTER SET ascii NOT NULL,
    PRIMARY KEY (ClaimKey)
) ENGINE=InnoDB;
