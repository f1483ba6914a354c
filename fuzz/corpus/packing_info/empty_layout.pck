Plate Number=0
Part Number=0
