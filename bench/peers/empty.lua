-- empty N=1: start-up baseline
print(0)
