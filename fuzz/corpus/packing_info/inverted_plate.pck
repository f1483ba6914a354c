Plate Number=1
PlateID=3
	Plate Box:
	min_X=0.00000000
	max_X=4.00000000
	min_Y=0.00000000
	max_Y=100.00000000
Part Number=1
PartID=1
	Located PlateID=3
	Mirrored=0
	BasePt.x=1.00000000
	BasePt.y=2.00000000
	Rotation Angle=0.30000000
