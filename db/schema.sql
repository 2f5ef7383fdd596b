-- The record store beside the executable. The server opens it read-write and
-- never creates it: the build makes an empty one from this file when none is
-- there, so a rebuild never wipes records.
CREATE TABLE IF NOT EXISTS T_Room (
  RoomNo TEXT,
  LastCheckInTime REAL
);
CREATE TABLE IF NOT EXISTS T_IssueCardRecord (
  RegisterId TEXT,
  CardNo TEXT,
  RoomNo TEXT,
  CardType INTEGER,
  LastCheckInTime REAL,
  CheckInTime REAL,
  CheckOutTime REAL,
  IsCopy INTEGER,
  GuestName TEXT,
  OpratingTime REAL
);
