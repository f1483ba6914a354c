Plate Number=1
PlateID=0
	Plate Box:
	min_X=-3150.00000000
	max_X=-150.00000000
	min_Y=0.00000000
	max_Y=1500.00000000
Part Number=3
PartID=0
	Located PlateID=0
	Mirrored=1
	BasePt.x=-3140.00000000
	BasePt.y=10.00244141
	Rotation Angle=-4.7